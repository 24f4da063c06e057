// A refusal is readable whole in every dialog: the message line takes as
// many lines as the reason wraps onto, and the dialog grows to show them,
// however narrow the dialog is.
#include "DialogTestSupport.h"

#include <QApplication>
#include <QLabel>

namespace {

struct Shown {
    const DialogDescription* description;
    void (*show)();
};

const Shown AllDialogs[] = {
    {&LatticeDialog, WindowLattice_show}, {&TemperatureDialog, WindowTemperature_show},
    {&VoltageDialog, WindowVoltage_show}, {&VariableDialog, WindowVariable_show},
    {&DopingDialog, WindowDoping_show},   {&ContactDialog, WindowContact_show},
    {&TrapDialog, WindowTrap_show},       {&IndexDialog, WindowIndex_show},
    {&LightDialog, WindowLight_show},     {&ParamDialog, WindowParam_show},
    {&UrbachDialog, WindowUrbach_show},   {&MobilityDialog, WindowMobility_show},
    {&NumericDialog, WindowNumeric_show}, {&MaterialDialog, WindowMaterial_show},
};

class RefusalFitTest : public DialogTest {
protected:
    void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }
    // The message label shows its whole text: as tall as its text needs at
    // its width, inside the dialog's visible area.
    void expectWhole(const DialogDescription& description)
    {
        settle();
        auto* label = qobject_cast<QLabel*>(iupWidget(ctl(description, "Message")));
        ASSERT_NE(label, nullptr);
        QWidget* dialog = iupWidget(IupGetHandle(description.handle));
        ASSERT_NE(dialog, nullptr);
        ASSERT_FALSE(label->text().isEmpty());
        EXPECT_GE(label->height(), label->heightForWidth(label->width()))
            << label->text().toStdString() << " is cut: " << label->height() << " < "
            << label->heightForWidth(label->width());
        const QRect shown(label->mapTo(dialog, QPoint(0, 0)), label->size());
        EXPECT_TRUE(dialog->rect().contains(shown))
            << "the message line lies outside the dialog: " << shown.bottom() << " > "
            << dialog->rect().bottom();
    }
};

TEST_F(RefusalFitTest, ContactsDialogShowsTheRangeOfARefusedResistanceWhole)
{
    IupSetInt(nullptr, KOV_WindowContact_Selected, 2);
    WindowContact_show();
    type(ContactDialog, "Rn", "0");
    click(ContactDialog, "OK");
    ASSERT_TRUE(Dialog_isOpen(&ContactDialog));
    ASSERT_NE(message(ContactDialog).find("invalid value for Cathode.Rn: 0 (accepted:"),
              std::string::npos)
        << message(ContactDialog);
    expectWhole(ContactDialog);
    screenshot(ContactDialog);
}

TEST_F(RefusalFitTest, EveryDialogShowsALongReasonWhole)
{
    const std::string reason =
        "Some field (unit): invalid value for Some.Long.Record.Key: 123456789 (accepted: from "
        "1e-06 to 99.99, or a variable that holds such a value, or an expression of them)";
    for (const Shown& d : AllDialogs) {
        SCOPED_TRACE(d.description->handle);
        d.show();
        ASSERT_TRUE(Dialog_isOpen(d.description));
        settle();
        Dialog_showMessage(d.description, reason.c_str());
        expectWhole(*d.description);
        // A short one after the long one still fits.
        Dialog_showMessage(d.description, "Rn: invalid value");
        expectWhole(*d.description);
        Dialog_close(d.description);
    }
}

}  // namespace
