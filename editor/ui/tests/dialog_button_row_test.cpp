// The Apply and OK buttons of a dialog stand exactly under the columns of
// fields above them, so that the dialog reads as one grid.
#include "DialogTestSupport.h"

#include <QApplication>

#include "kovraHandles.h"

namespace {

struct ButtonRow {
    const DialogDescription* description;
    void (*show)();
    const char* underApply;  // the field whose column Apply stands in
    const char* underOk;     // the field whose column OK stands in
};

const ButtonRow Rows[] = {
    {&NumericDialog, WindowNumeric_show, "Tol", "Damp"},
    {&ContactDialog, WindowContact_show, "Rn", "Rp"},
    {&ParamDialog, WindowParam_show, "Bandgap", "Affinity"},
    {&DopingDialog, WindowDoping_show, "N", "Nr"},
    {&UrbachDialog, WindowUrbach_show, "EA", "ED"},
    {&LatticeDialog, WindowLattice_show, "A", "PolarizationScale"},
    {&VoltageDialog, WindowVoltage_show, "End", "Step"},
};

class ButtonRowTest : public DialogTest {
protected:
    static QRect placed(const DialogDescription& description, const char* word)
    {
        QWidget* dialog = iupWidget(IupGetHandle(description.handle));
        QWidget* widget = iupWidget(ctl(description, word));
        if (dialog == nullptr || widget == nullptr) {
            return {};
        }
        return {widget->mapTo(dialog, QPoint(0, 0)), widget->size()};
    }
};

TEST_F(ButtonRowTest, ApplyAndOkStandUnderTheFieldColumns)
{
    IupSetInt(nullptr, KOV_WindowContact_Selected, 1);
    for (const ButtonRow& row : Rows) {
        SCOPED_TRACE(row.description->handle);
        row.show();
        ASSERT_TRUE(Dialog_isOpen(row.description));
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        const QRect apply = placed(*row.description, "Apply");
        const QRect ok = placed(*row.description, "OK");
        const QRect left = placed(*row.description, row.underApply);
        const QRect right = placed(*row.description, row.underOk);
        ASSERT_FALSE(apply.isEmpty());
        ASSERT_FALSE(left.isEmpty());
        EXPECT_EQ(apply.left(), left.left());
        EXPECT_EQ(apply.right(), left.right());
        EXPECT_EQ(ok.left(), right.left());
        EXPECT_EQ(ok.right(), right.right());
    }
}

}  // namespace
