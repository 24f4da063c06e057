// The Material dialog: a scratch copy of the layer it was opened for takes
// the chosen material; alloys mix their end members; Apply writes into
// that layer, keeping its doping and thickness.
#include "DialogTestSupport.h"

#include <cmath>

#include "kovbase.h"
#include "materials.h"
#include "kovraHandles.h"

namespace {

const DialogDescription& M = MaterialDialog;

int position(const char* name)
{
    Ihandle* list = IupGetHandle(KOV_WindowMaterial_MaterialList);
    const int count = IupGetInt(list, "COUNT");
    for (int i = 1; i <= count; ++i) {
        if (std::string(IupGetAttribute(list, std::to_string(i).c_str())) == name) {
            return i;
        }
    }
    return 0;
}

void choose(const char* name)
{
    Ihandle* list = IupGetHandle(KOV_WindowMaterial_MaterialList);
    const int item = position(name);
    ASSERT_GT(item, 0) << name << " is not offered";
    IupSetInt(list, "VALUE", item);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
    action(list, IupGetAttribute(list, std::to_string(item).c_str()), item, 1);
}

// Typing into an editable field, keystroke by keystroke as the user would.
void typeKeys(const char* word, const std::string& text)
{
    Ihandle* field = IupGetHandle((std::string(KOV_WindowMaterial_) + word).c_str());
    auto changed = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(field, "VALUECHANGED_CB"));
    ASSERT_NE(changed, nullptr) << word;
    for (size_t n = 1; n <= text.size(); ++n) {
        IupSetStrAttribute(field, "VALUE", text.substr(0, n).c_str());
        changed(field);
    }
}

double shown(const char* word)
{
    return std::stod(
        IupGetAttribute(IupGetHandle((std::string(KOV_WindowMaterial_) + word).c_str()), "VALUE"));
}

// A material's own value, as a layer made of it holds it.
double valueOf(const char* material, const char* key)
{
    Layer* layer = Layer_create();
    Layer_setMaterial(layer, material, layer->label, DOPANT_INTRINSIC);
    const double value = Layer_findParam(layer, key)->value.real;
    Layer_free(&layer);
    return value;
}

TEST_F(DialogTest, MaterialAlloyMixesItsEndMembers)
{
    WindowMaterial_show();
    ASSERT_TRUE(Dialog_isOpen(&M));
    choose("AlGaAs");
    EXPECT_EQ(IupGetInt(ctl(M, "CompositionX"), "ACTIVE"), 1);
    const double egA = valueOf("AlAs", "Bandgap"), egB = valueOf("GaAs", "Bandgap");
    const double chiA = valueOf("AlAs", "Affinity"), chiB = valueOf("GaAs", "Affinity");
    const double epsA = valueOf("AlAs", "Permittivity"), epsB = valueOf("GaAs", "Permittivity");
    const struct {
        const char* x;
        const char* bg;
        const char* bchi;
    } mixes[] = {{"0", "0", "0"}, {"1", "0", "0"}, {"0.5", "1", "0"}, {"0.3", "0.4", "-0.2"}};
    for (const auto& m : mixes) {
        SCOPED_TRACE(std::string("x=") + m.x + " bg=" + m.bg + " bchi=" + m.bchi);
        typeKeys("CompositionX", m.x);
        typeKeys("BandgapBowing", m.bg);
        typeKeys("AffinityBowing", m.bchi);
        const double x = std::stod(m.x), bg = std::stod(m.bg), bchi = std::stod(m.bchi);
        EXPECT_NEAR(shown("Bandgap"), x * egA + (1 - x) * egB - x * (1 - x) * bg, 1e-5);
        EXPECT_NEAR(shown("Affinity"), x * chiA + (1 - x) * chiB - x * (1 - x) * bchi, 1e-5);
        EXPECT_NEAR(shown("Permittivity"), x * epsA + (1 - x) * epsB, 1e-5);
    }
    EXPECT_FALSE(Document_isModified(document())) << "nothing reaches the document before Apply";

    // Out of range or not a complete number: the shown values stay at the
    // last keystroke that made one ("1" of "1.5", "0.1" of "0.1x").
    typeKeys("BandgapBowing", "0");
    typeKeys("CompositionX", "1.5");
    EXPECT_NEAR(shown("Bandgap"), egA, 1e-5);
    typeKeys("CompositionX", "0.1x");
    EXPECT_NEAR(shown("Bandgap"), 0.1 * egA + 0.9 * egB, 1e-5);
    typeKeys("CompositionX", "0.2e");
    EXPECT_NEAR(shown("Bandgap"), 0.2 * egA + 0.8 * egB, 1e-5);
}

TEST_F(DialogTest, MaterialApplyGoesToTheLayerItWasOpenedFor)
{
    recorder.mainLayer = 2;
    ASSERT_EQ(Layer_setParam(layer(2), "Thickness", "3.5", nullptr, nullptr, 0), 1);
    ASSERT_EQ(Layer_setParam(layer(2), "Dopant.N", "7e15", nullptr, nullptr, 0), 1);
    ASSERT_EQ(Layer_setParam(layer(2), "Mobility.Model", "\"mob.lua\"", nullptr, nullptr, 0), 1);
    const int type = Layer_getDopantType(layer(2));
    const std::string firstMaterial = recordText(Layer_findParam(layer(1), "Material"));
    WindowMaterial_show();
    EXPECT_EQ(std::string(IupGetAttribute(ctl(M, "MaterialList"), "1")),
              recordText(Layer_findParam(layer(2), "Material")) + " <");
    recorder.mainLayer = 1;  // the main window moves on meanwhile
    choose("GaAs");
    EXPECT_EQ(IupGetInt(ctl(M, "CompositionX"), "ACTIVE"), 0) << "not an alloy";
    EXPECT_EQ(click(M, "OK"), IUP_IGNORE);
    EXPECT_FALSE(Dialog_isOpen(&M));
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Material")), "GaAs");
    EXPECT_NEAR(Layer_findParam(layer(2), "Bandgap")->value.real, valueOf("GaAs", "Bandgap"),
                1e-12);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Thickness")), "3.5");
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Dopant.N")), "7e+15");
    EXPECT_EQ(Layer_getDopantType(layer(2)), type);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Mobility.Model")), "None");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Material")), firstMaterial)
        << "the selection is not the target";
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(DialogTest, MaterialRefusedDerivedValueKeepsTheDialogOpen)
{
    const std::string material = recordText(Layer_findParam(layer(1), "Material"));
    WindowMaterial_show();
    choose("InGaAs");
    typeKeys("CompositionX", "0.5");
    typeKeys("BandgapBowing", "20");
    ASSERT_LT(shown("Bandgap"), 0.01);
    EXPECT_EQ(click(M, "OK"), IUP_DEFAULT);
    EXPECT_TRUE(Dialog_isOpen(&M));
    EXPECT_NE(message(M).find("Bandgap (eV): invalid value"), std::string::npos) << message(M);
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Material")), material);
    EXPECT_FALSE(Document_isModified(document()));

    // The close box drops the choice.
    EXPECT_EQ(closeBox(M), IUP_IGNORE);
    EXPECT_FALSE(Dialog_isOpen(&M));
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Material")), material);
}

TEST_F(DialogTest, MaterialDefaultTakesTheNameShown)
{
    kov_copyA(recorder.settings.DefaultMaterial, sizeof recorder.settings.DefaultMaterial, "Si");
    WindowMaterial_show();
    auto pressDefault = [] {
        Ihandle* list = IupGetHandle(KOV_WindowMaterial_MaterialList);
        Ihandle* button = IupGetBrother(list);
        auto action = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(button, "ACTION"));
        action(button);
    };
    choose("GaAs");
    pressDefault();
    EXPECT_STREQ(recorder.settings.DefaultMaterial, "GaAs");

    // A name only the database knows cannot be a default: said, not taken.
    Ihandle* list = ctl(M, "MaterialList");
    for (int i = 2; i <= IupGetInt(list, "COUNT"); ++i) {
        const std::string name = IupGetAttribute(list, std::to_string(i).c_str());
        if (Material_isKnown(name.c_str())) {
            continue;
        }
        choose(name.c_str());
        pressDefault();
        EXPECT_STREQ(recorder.settings.DefaultMaterial, "GaAs") << name;
        EXPECT_NE(message(M).find("not a built-in material"), std::string::npos) << message(M);
        break;
    }
    IupSetInt(list, "VALUE", 1);
    pressDefault();
    EXPECT_STREQ(recorder.settings.DefaultMaterial, "GaAs") << "the current material is no choice";
}

TEST_F(DialogTest, MaterialScreenshot)
{
    WindowMaterial_show();
    choose("AlGaAs");
    typeKeys("CompositionX", "0.3");
    screenshot(M);
}

}  // namespace
