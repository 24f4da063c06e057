// Contacts dialog: the anode's or the cathode's type, thickness, work
// function, surface recombination velocities, optical index (or an index
// model) and boundary condition. A contact list takes the place of the
// layer list; the global "KOV_WindowContact_Selected" remembers the
// contact last shown, so the dialog opens on it again.
#include <string>

#include "Dialogs.h"
#include "device.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const char* const SELECTED = KOV_WindowContact_Selected;

const DialogField ContactFields[] = {
    {.word = "Thickness",
     .key = "Thickness",
     .caption = "Thickness (um)",
     .source = DIALOG_FROM_CONTACT},
    {.word = "Phi", .key = "Phi", .caption = "Phi (eV)", .source = DIALOG_FROM_CONTACT},
    {.word = "Rn", .key = "Rn", .caption = "Rn (cm/s)", .source = DIALOG_FROM_CONTACT},
    {.word = "Rp", .key = "Rp", .caption = "Rp (cm/s)", .source = DIALOG_FROM_CONTACT},
    {.word = "n",
     .key = "Index.n",
     .caption = "n",
     .source = DIALOG_FROM_CONTACT,
     .governed = true},
    {.word = "k",
     .key = "Index.k",
     .caption = "k",
     .source = DIALOG_FROM_CONTACT,
     .governed = true},
};

const DialogModel ContactModel = {
    .key = "Index.Model",
    .question = "Select contact index model?",
    .caption = "Contact index model",
    .filter = "Kovra refractive index model|*.lua||",
    .source = DIALOG_FROM_CONTACT,
};

// The contact whose records the fields are bound to (1 anode, 2 cathode).
int boundContact(const DialogDescription* description)
{
    Ihandle* list = Dialog_control(description, "ContactList");
    const int number = list != nullptr ? IupGetInt(list, SELECTED) : 0;
    return number == 1 || number == 2 ? number : 0;
}

Contact* contactOf(const DialogDescription* description)
{
    Device* device = Dialog_device();
    const int number = boundContact(description);
    if (device == nullptr || number == 0) {
        return nullptr;
    }
    return number == 1 ? device->anode : device->cathode;
}

int onContactSelect(Ihandle* ih, char* /*text*/, int item, int state);

Ihandle* row(const DialogDescription* description, const char* left, const char* right)
{
    const DialogField* a = nullptr;
    const DialogField* b = nullptr;
    for (const DialogField& f : ContactFields) {
        if (std::string(f.word) == left) {
            a = &f;
        }
        if (std::string(f.word) == right) {
            b = &f;
        }
    }
    return Dialog_vbox(
        {Dialog_hbox({Dialog_caption(a->caption), Dialog_caption(b->caption)}),
         Dialog_hbox({Dialog_control(description, left), Dialog_control(description, right)})});
}

// An empty cell as wide as a field, keeping a lone button in its column.
Ihandle* blank()
{
    Ihandle* label = IupLabel("");
    IupSetAttribute(label, "SIZE", "80x");
    return label;
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* contacts = Dialog_list(description, "ContactList", {"Anode", "Cathode"});
    // The dialog opens on the contact last shown (or double-clicked).
    const int selected = IupGetInt(nullptr, SELECTED) == 2 ? 2 : 1;
    IupSetInt(contacts, "VALUE", selected);
    IupSetInt(contacts, SELECTED, selected);
    IupSetCallback(contacts, "ACTION", onContactSelect);
    Ihandle* types = Dialog_list(description, "TypeList", {"Ohmic", "Schottky"});

    Ihandle* boundary = Dialog_list(description, "ContactBoundary", {"Neumann", "Dirichlet"});
    IupSetCallback(boundary, "GETFOCUS_CB", nullptr);
    IupSetAttribute(boundary, "TIP",
                    "Neumann is suitable for zero electric field at the contact, at equilibrium");
    // As wide as a field, so the list stays in the right-hand column; no
    // colon, like the captions above, which a field's width would clip.
    Ihandle* boundaryLabel = IupLabel("Boundary Condition");
    IupSetAttributes(boundaryLabel, "ALIGNMENT=ALEFT:ACENTER, SIZE=80x");

    return Dialog_vbox({
        Dialog_hbox({contacts, types}),
        row(description, "Thickness", "Phi"),
        row(description, "Rn", "Rp"),
        row(description, "n", "k"),
        Dialog_separator(),
        Dialog_hbox({boundaryLabel, boundary}),
        Dialog_separator(),
        Dialog_hbox({blank(), Dialog_control(description, "Model")}),
        Dialog_hbox({Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

void bindList(Ihandle* list, ParamRecord* record, bool first)
{
    IupSetAttribute(list, KOV_Record, reinterpret_cast<const char*>(record));
    IupSetAttribute(list, "VALUE", first ? "1" : "2");
}

// The lists after the frame filled the fields: the contact, its type (only
// an exact "Schottky" is Schottky) and its boundary (only an exact
// "Neumann" is Neumann).
void load(const DialogDescription* description)
{
    Contact* contact = contactOf(description);
    Ihandle* contacts = Dialog_control(description, "ContactList");
    Ihandle* types = Dialog_control(description, "TypeList");
    Ihandle* boundary = Dialog_control(description, "ContactBoundary");
    if (contact == nullptr || contacts == nullptr || types == nullptr || boundary == nullptr) {
        return;
    }
    IupSetInt(contacts, "VALUE", boundContact(description));
    const std::string prefix = boundContact(description) == 1 ? "Anode." : "Cathode.";
    if (ParamRecord* type = Contact_findParam(contact, (prefix + "Type").c_str())) {
        bindList(types, type, Dialog_valueText(type) != "Schottky");
    }
    if (ParamRecord* bc = Contact_findParam(contact, (prefix + "Boundary").c_str())) {
        bindList(boundary, bc, Dialog_valueText(bc) == "Neumann");
    }
}

int store(const DialogDescription* description, int* changed)
{
    Contact* contact = contactOf(description);
    Ihandle* types = Dialog_control(description, "TypeList");
    Ihandle* boundary = Dialog_control(description, "ContactBoundary");
    if (contact == nullptr || types == nullptr || boundary == nullptr) {
        return 0;
    }
    // Records found again by key: the lists' bindings may belong to a
    // device that has since been replaced.
    const std::string prefix = boundContact(description) == 1 ? "Anode." : "Cathode.";
    const bool schottky = IupGetInt(types, "VALUE") == 2;
    if (!Dialog_storeText(Contact_findParam(contact, (prefix + "Type").c_str()),
                          schottky ? "Schottky" : "Ohmic", changed)) {
        Dialog_showMessage(description, "Type: not accepted");
        return 0;
    }
    contact->schottky = schottky ? CONTACT_SCHOTTKY : 0;
    Contact_updateColor(contact);
    Dialog_redrawCanvas();
    const bool neumann = IupGetInt(boundary, "VALUE") == 1;
    if (!Dialog_storeText(Contact_findParam(contact, (prefix + "Boundary").c_str()),
                          neumann ? "Neumann" : "Dirichlet", changed)) {
        Dialog_showMessage(description, "Boundary Condition: not accepted");
        return 0;
    }
    return 1;
}

// The fields go to the contact they were loaded from first; a refused
// value keeps the dialog on that contact.
int onContactSelect(Ihandle* ih, char* /*text*/, int item, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    if (description == nullptr || state != 1 || Dialog_device() == nullptr) {
        return IUP_DEFAULT;
    }
    const int old = IupGetInt(ih, SELECTED);
    if (item == old) {
        return IUP_DEFAULT;
    }
    if (Dialog_store(description) == 0) {
        IupSetInt(ih, "VALUE", old);
        return IUP_DEFAULT;
    }
    IupSetInt(ih, SELECTED, item);
    IupSetInt(nullptr, SELECTED, item);
    Dialog_load(description);
    return IUP_DEFAULT;
}

}  // namespace

const DialogDescription ContactDialog = {
    .handle = KOV_WindowContact,
    .title = "Contacts",
    .fields = ContactFields,
    .model = &ContactModel,
    .columns = 2,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowContact_show() { Dialog_show(&ContactDialog); }
