// A parameter dialog built the way the editor builds its dialogs, to look
// at the layer's layout under a real display: iup_demo [seconds]
// (closes by itself after the given time, 0: stays open).
#include <QTimer>

#include <cstdlib>

#include "iup.h"
#include "iupScintillaMessages.h"

namespace {

// The dialog's handle name, looked up again when a field takes the focus;
// the demo's own, apart from the programs' names.
constexpr const char* DIALOG = "Demo_Lattice";

Ihandle* pairRow(const char* a, const char* b, Ihandle* fa, Ihandle* fb)
{
    Ihandle* labels = IupHbox(IupLabel(a), IupLabel(b), nullptr);
    for (int i = 0; i < 2; ++i) {
        IupSetAttributes(IupGetChild(labels, i), "ALIGNMENT=ACENTER:ABOTTOM, SIZE=80x");
    }
    Ihandle* fields = IupHbox(fa, fb, nullptr);
    Ihandle* row = IupVbox(labels, fields, nullptr);
    for (Ihandle* box : {labels, fields, row}) {
        IupSetAttributes(box, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");
    }
    return row;
}

Ihandle* field(const char* name, const char* tip, const char* value)
{
    Ihandle* t = IupText(nullptr);
    IupSetHandle(name, t);
    IupSetStrAttribute(t, "PARAMTIP", tip);
    IupSetAttributes(t, "ALIGNMENT=ACENTER, SIZE=80x, NC=40");
    IupSetStrAttribute(t, "VALUE", value);
    return t;
}

int onFocus(Ihandle* ih)
{
    std::string title = std::string("Lattice - ") +
                        (IupGetAttribute(ih, "PARAMTIP") ? IupGetAttribute(ih, "PARAMTIP") : "");
    IupSetStrAttribute(IupGetHandle(DIALOG), "TITLE", title.c_str());
    return IUP_DEFAULT;
}

int onClose(Ihandle*) { return IUP_CLOSE; }

}  // namespace

int main(int argc, char** argv)
{
    IupOpen(&argc, &argv);
    IupScintillaOpen();
    Ihandle* list = IupList(nullptr);
    IupSetHandle("Demo_Lattice_LayerList", list);
    IupSetAttributes(list, "ALIGNMENT=ACENTER, SIZE=80x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
    IupSetAttribute(list, "1", "1 p-GaN (P)");
    IupSetAttribute(list, "2", "2 InGaN (I)");
    IupSetAttribute(list, "3", "3 n-GaN (N)");
    IupSetAttribute(list, "VALUE", "2");
    Ihandle* fields[] = {field("Demo_Lattice_Scale", "Polarization Scale", "1"),
                         field("Demo_Lattice_A", "a (nm)", "0.3189"),
                         field("Demo_Lattice_Psp", "Psp (C/m2)", "-0.029"),
                         field("Demo_Lattice_E31", "e31 (C/m2)", "-0.49"),
                         field("Demo_Lattice_E33", "e33 (C/m2)", "0.73"),
                         field("Demo_Lattice_C13", "c13 (GPa)", "103"),
                         field("Demo_Lattice_C33", "c33 (GPa)", "405")};
    for (Ihandle* f : fields) {
        IupSetCallback(f, "GETFOCUS_CB", onFocus);
    }
    Ihandle* model = IupButton("Model...", nullptr);
    Ihandle* apply = IupButton("Apply", nullptr);
    Ihandle* ok = IupButton("OK", nullptr);
    for (Ihandle* b : {model, apply, ok}) {
        IupSetAttributes(b, "ALIGNMENT=ACENTER, SIZE=80x");
    }
    Ihandle* separator = IupLabel(nullptr);
    IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");
    Ihandle* modelRow = IupHbox(IupFill(), model, nullptr);
    Ihandle* buttons = IupHbox(apply, ok, nullptr);
    for (Ihandle* box : {modelRow, buttons}) {
        IupSetAttributes(box, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=0x0, GAP=5");
    }
    Ihandle* light =
        IupHbox(IupToggle("Light, Mono", nullptr), IupToggle("AM1.5", nullptr), nullptr);
    IupSetAttributes(light, "EXPAND=HORIZONTAL, ALIGNMENT=ACENTER, GAP=20");
    Ihandle* console = IupScintilla();
    IupSetAttributes(console, "EXPAND=YES, BORDER=NO, RASTERSIZE=100x80");
    Ihandle* body = IupVbox(pairRow("Layer", "Polarization Scale", list, fields[0]),
                            pairRow("a (nm)", "Psp (C/m2)", fields[1], fields[2]),
                            pairRow("e31 (C/m2)", "e33 (C/m2)", fields[3], fields[4]),
                            pairRow("c13 (GPa)", "c33 (GPa)", fields[5], fields[6]), modelRow,
                            separator, light, console, buttons, nullptr);
    IupSetAttributes(body, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=10x10, GAP=10");
    Ihandle* dialog = IupDialog(body);
    IupSetHandle(DIALOG, dialog);
    IupSetAttributes(
        dialog, "EXPAND=YES, RESIZE=NO, MAXBOX=NO, MINBOX=NO, TITLE=\"Lattice\", MINSIZE=120x80");
    IupSetCallback(dialog, "CLOSE_CB", onClose);
    IupShow(dialog);
    IupScintillaSendMessage(
        console, SCI_SETTEXT, 0,
        reinterpret_cast<sptr_t>(
            "[INFO]    mesh: 412 points\n[SIMUL]   ended at 2026-12-10 16:00:00\n"));
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    if (seconds > 0) {
        QTimer::singleShot(seconds * 1000, [] { IupExitLoop(); });
    }
    IupMainLoop();
    IupClose();
    return 0;
}
