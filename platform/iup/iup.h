// The windowing layer of the GUI programs: IUP's C interface, as the
// programs use it, over Qt 6 Widgets (and the text control over
// QScintilla). Elements are made by constructors, configured by named
// string attributes, found again by handle name and tied to the program by
// named callbacks. See README.md for what differs from IUP and for the
// scripted-answer seam that lets tests answer questions and file choosers.
#pragma once

#include <cstddef>
#include <cstdint>

struct Ihandle_;
typedef struct Ihandle_ Ihandle;
// Callbacks take the element first; their further arguments depend on the
// callback name (see README.md). They return one of the IUP_ codes.
typedef int (*Icallback)(Ihandle*);

#define IUP_ERROR 1
#define IUP_NOERROR 0
#define IUP_OPENED -1
#define IUP_INVALID -1

#define IUP_IGNORE -1
#define IUP_DEFAULT -2
#define IUP_CLOSE -3
#define IUP_CONTINUE -4

// SHOW_CB states
#define IUP_SHOW 0
#define IUP_RESTORE 1
#define IUP_MINIMIZE 2
#define IUP_MAXIMIZE 3
#define IUP_HIDE 4

// Popup and show positions
#define IUP_LEFT 0xFFFD
#define IUP_CENTER 0xFFFF
#define IUP_RIGHT 0xFFFE
#define IUP_MOUSEPOS 0xFFFC
#define IUP_CURRENT 0xFFFB
#define IUP_CENTERPARENT 0xFFFA
#define IUP_TOP IUP_LEFT
#define IUP_BOTTOM IUP_RIGHT

// BUTTON_CB buttons
#define IUP_BUTTON1 '1'
#define IUP_BUTTON2 '2'
#define IUP_BUTTON3 '3'

// ---- keys ---------------------------------------------------------------
// A printable key is its character code; other keys have codes of their
// own. Modifier forms add a flag: K_sX shift, K_cX Ctrl, K_mX Alt, K_yX the
// system key.
#define iup_XkeyShift(c) ((c) | 0x10000000)
#define iup_XkeyCtrl(c) ((c) | 0x20000000)
#define iup_XkeyAlt(c) ((c) | 0x40000000)
#define iup_XkeySys(c) ((int)((unsigned)(c) | 0x80000000u))
#define iup_XkeyBase(c) ((c)&0x0FFFFFFF)
#define iup_isShiftXkey(c) (((c)&0x10000000) != 0)
#define iup_isCtrlXkey(c) (((c)&0x20000000) != 0)
#define iup_isAltXkey(c) (((c)&0x40000000) != 0)
#define iup_isSysXkey(c) ((((unsigned)(c)) & 0x80000000u) != 0)
#define iup_isprint(c) ((c) > 31 && (c) < 127)

#define K_SP ' '
#define K_plus '+'
#define K_minus '-'
#define K_0 '0'
#define K_1 '1'
#define K_2 '2'
#define K_3 '3'
#define K_4 '4'
#define K_5 '5'
#define K_6 '6'
#define K_7 '7'
#define K_8 '8'
#define K_9 '9'
#define K_period '.'
#define K_comma ','
#define K_equal '='
#define K_slash '/'
#define K_asterisk '*'
#define K_parentleft '('
#define K_parentright ')'
#define K_A 'A'
#define K_C 'C'
#define K_N 'N'
#define K_O 'O'
#define K_S 'S'
#define K_V 'V'
#define K_X 'X'
#define K_Z 'Z'
#define K_a 'a'
#define K_c 'c'
#define K_v 'v'
#define K_x 'x'
#define K_z 'z'

#define K_BS '\b'
#define K_TAB '\t'
#define K_LF '\n'
#define K_CR '\r'
#define K_ESC 0xFF1B
#define K_PAUSE 0xFF13
#define K_HOME 0xFF50
#define K_LEFT 0xFF51
#define K_UP 0xFF52
#define K_RIGHT 0xFF53
#define K_DOWN 0xFF54
#define K_PGUP 0xFF55
#define K_PGDN 0xFF56
#define K_END 0xFF57
#define K_MIDDLE 0xFF0B
#define K_INS 0xFF63
#define K_DEL 0xFFFF
#define K_F1 0xFFBE
#define K_F2 0xFFBF
#define K_F3 0xFFC0
#define K_F4 0xFFC1
#define K_F5 0xFFC2
#define K_F6 0xFFC3
#define K_F7 0xFFC4
#define K_F8 0xFFC5
#define K_F9 0xFFC6
#define K_F10 0xFFC7
#define K_F11 0xFFC8
#define K_F12 0xFFC9

#define K_cA iup_XkeyCtrl(K_A)
#define K_cC iup_XkeyCtrl(K_C)
#define K_cN iup_XkeyCtrl(K_N)
#define K_cO iup_XkeyCtrl(K_O)
#define K_cS iup_XkeyCtrl(K_S)
#define K_cV iup_XkeyCtrl(K_V)
#define K_cX iup_XkeyCtrl(K_X)
#define K_cZ iup_XkeyCtrl(K_Z)
#define K_c0 iup_XkeyCtrl(K_0)
#define K_cPlus iup_XkeyCtrl(K_plus)
#define K_cMinus iup_XkeyCtrl(K_minus)
#define K_cCR iup_XkeyCtrl(K_CR)
#define K_cHOME iup_XkeyCtrl(K_HOME)
#define K_cEND iup_XkeyCtrl(K_END)
#define K_cUP iup_XkeyCtrl(K_UP)
#define K_cDOWN iup_XkeyCtrl(K_DOWN)
#define K_cF12 iup_XkeyCtrl(K_F12)
#define K_sCR iup_XkeyShift(K_CR)
#define K_sUP iup_XkeyShift(K_UP)
#define K_sDOWN iup_XkeyShift(K_DOWN)
#define K_sHOME iup_XkeyShift(K_HOME)
#define K_sEND iup_XkeyShift(K_END)
#define K_sLEFT iup_XkeyShift(K_LEFT)
#define K_sRIGHT iup_XkeyShift(K_RIGHT)
#define K_mF1 iup_XkeyAlt(K_F1)
#define K_mF4 iup_XkeyAlt(K_F4)
#define K_mF12 iup_XkeyAlt(K_F12)

// The callback name of a key code ("K_cN", "K_F5", "K_mF4"), as the key
// bindings are set by name; NULL for a code without one.
const char* iupKeyCodeToName(int code);

// ---- system -------------------------------------------------------------
int IupOpen(int* argc, char*** argv);  // IUP_NOERROR, or IUP_OPENED when open already
void IupClose();
int IupMainLoop();
int IupLoopStep();
void IupExitLoop();
// Runs the pending events (redraws, callbacks) and returns.
void IupFlush();
// Opens the given file or address with the desktop's program (help files).
int IupHelp(const char* url);
// Starts a program with arguments (split as a command line); never a shell.
int IupExecute(const char* filename, const char* parameters);

// ---- attributes ---------------------------------------------------------
// A NULL element means the global attributes. Names are case-sensitive and
// upper case as in IUP. IupSetAttribute keeps the pointer of a name the
// element does not know (program data such as "KOV_Record"), and copies the
// text of one it knows; IupSetStrAttribute always copies.
void IupSetAttribute(Ihandle* ih, const char* name, const char* value);
void IupSetStrAttribute(Ihandle* ih, const char* name, const char* value);
void IupSetfAttribute(Ihandle* ih, const char* name, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void IupSetInt(Ihandle* ih, const char* name, int value);
// "NAME=value, NAME2=\"text, with comma\"" in one call.
Ihandle* IupSetAttributes(Ihandle* ih, const char* attributes);
void IupSetStrAttributeId(Ihandle* ih, const char* name, int id, const char* value);
void IupSetAttributeHandle(Ihandle* ih, const char* name, Ihandle* other);
// Reading: a text owned by the element, valid until the attribute changes.
char* IupGetAttribute(Ihandle* ih, const char* name);
int IupGetInt(Ihandle* ih, const char* name);  // 0 when missing; "YES"/"ON" give 1
int IupGetIntInt(Ihandle* ih, const char* name, int* i1, int* i2);  // count read

void IupSetGlobal(const char* name, const char* value);
void IupSetStrGlobal(const char* name, const char* value);
char* IupGetGlobal(const char* name);

// ---- names, callbacks, functions ------------------------------------------
// Registers the element under name (NULL element removes the name) and
// returns the element the name named before.
Ihandle* IupSetHandle(const char* name, Ihandle* ih);
Ihandle* IupGetHandle(const char* name);
Icallback IupSetCallback(Ihandle* ih, const char* name, Icallback func);
Icallback IupGetCallback(Ihandle* ih, const char* name);
// Any callback shape (int (Ihandle*, int), int (Ihandle*, char*, int, int),
// ...) can be set without a cast.
template <typename... Args>
inline Icallback IupSetCallback(Ihandle* ih, const char* name, int (*func)(Ihandle*, Args...))
{
    return IupSetCallback(ih, name,
                          reinterpret_cast<Icallback>(reinterpret_cast<void (*)()>(func)));
}
template <typename... Args>
inline Icallback iupCallbackCast(int (*func)(Ihandle*, Args...))
{
    return reinterpret_cast<Icallback>(reinterpret_cast<void (*)()>(func));
}
Icallback IupSetFunction(const char* name, Icallback func);
Icallback IupGetFunction(const char* name);
char* IupGetClassName(Ihandle* ih);

// ---- the element tree ------------------------------------------------------
void IupDestroy(Ihandle* ih);
Ihandle* IupAppend(Ihandle* container, Ihandle* child);
Ihandle* IupInsert(Ihandle* container, Ihandle* refChild, Ihandle* child);
void IupDetach(Ihandle* child);
Ihandle* IupGetChild(Ihandle* ih, int position);
int IupGetChildPos(Ihandle* ih, Ihandle* child);
int IupGetChildCount(Ihandle* ih);
Ihandle* IupGetNextChild(Ihandle* ih, Ihandle* child);
Ihandle* IupGetBrother(Ihandle* ih);
Ihandle* IupGetDialog(Ihandle* ih);

// ---- showing --------------------------------------------------------------
int IupMap(Ihandle* ih);
int IupShow(Ihandle* ih);
int IupShowXY(Ihandle* ih, int x, int y);
int IupHide(Ihandle* ih);
// A dialog shown modal until hidden, a menu popped up until chosen, or a
// file chooser answered (through the seam).
int IupPopup(Ihandle* ih, int x, int y);
void IupRefresh(Ihandle* ih);
void IupUpdate(Ihandle* ih);
void IupRedraw(Ihandle* ih, int children);
Ihandle* IupSetFocus(Ihandle* ih);  // returns the element that had it
Ihandle* IupGetFocus();

// ---- elements -------------------------------------------------------------
Ihandle* IupDialog(Ihandle* child);
Ihandle* IupVbox(Ihandle* child, ...);  // children end with NULL
Ihandle* IupHbox(Ihandle* child, ...);
Ihandle* IupGridBox(Ihandle* child, ...);
Ihandle* IupFill();
Ihandle* IupLabel(const char* title);
Ihandle* IupButton(const char* title, const char* action);
Ihandle* IupToggle(const char* title, const char* action);
Ihandle* IupText(const char* action);
Ihandle* IupList(const char* action);
Ihandle* IupCanvas(const char* action);
Ihandle* IupMenu(Ihandle* child, ...);
Ihandle* IupItem(const char* title, const char* action);
Ihandle* IupSubmenu(const char* title, Ihandle* menu);
Ihandle* IupSeparator();
Ihandle* IupTimer();
Ihandle* IupFileDlg();
Ihandle* IupClipboard();

// ---- messages (through the seam) ------------------------------------------
// Buttons b1..b3 (b2, b3 may be NULL); returns the number of the one chosen.
int IupAlarm(const char* title, const char* message, const char* b1, const char* b2,
             const char* b3);

// ---- drawing on a canvas (inside its ACTION callback) -----------------------
// Colour and style come from the canvas's DRAWCOLOR ("r g b"), DRAWSTYLE
// ("FILL", "STROKE", "STROKE_DASH"), DRAWLINEWIDTH and DRAWFONT attributes.
void IupDrawBegin(Ihandle* ih);
void IupDrawEnd(Ihandle* ih);
void IupDrawParentBackground(Ihandle* ih);
void IupDrawRectangle(Ihandle* ih, int x1, int y1, int x2, int y2);
void IupDrawText(Ihandle* ih, const char* text, int len, int x, int y, int w, int h);
void IupDrawGetSize(Ihandle* ih, int* w, int* h);
void IupDrawGetTextSize(Ihandle* ih, const char* text, int len, int* w, int* h);

// ---- the Scintilla text control --------------------------------------------
typedef uintptr_t uptr_t;
typedef intptr_t sptr_t;
void IupScintillaOpen();
Ihandle* IupScintilla();
// Passes the message straight to the control. SCI_SETLEXERLANGUAGE with the
// name of a lexer registered through iupScintillaLexer.h selects that lexer.
sptr_t IupScintillaSendMessage(Ihandle* ih, unsigned int message, uptr_t wParam, sptr_t lParam);

// ---- the scripted-answer seam (tests) ---------------------------------------
// Every message box, question and file chooser of the programs goes through
// one seam. In a test, queue the answers before the action that asks:
//   IupScriptAnswer("Device modified", "YES");   // question containing that text
//   IupScriptAnswer("Open file", "/tmp/x.kovra"); // file chooser: the path
//   IupScriptAnswer(nullptr, "CANCEL");          // whatever asks next
// Answers: for a question a button number "1".."3" or a word "YES", "NO",
// "CANCEL", "OK", or "ENTER" / "ESCAPE" for the button that key would press
// (the question's default, respectively its escape button); for a file
// chooser the path, or "" for cancel; for a
// message box anything (use "OK"). Once a script is active, or whenever the
// windowing system is the headless "offscreen" one, a question without a
// queued answer (or one that does not contain the expected text) is a fatal
// error: it prints what was asked and aborts, so no test waits for a person.
void IupScriptBegin();
void IupScriptAnswer(const char* expected, const char* answer);
int IupScriptPending();  // answers queued and not yet used
// The last asked: kind ("MESSAGE", "QUESTION", "FILE"), title and text.
const char* IupScriptLastAsked(const char** title, const char** text);
// The buttons of the last question: the one Enter presses and the one Escape
// presses (their labels without '&'; "" before any question).
const char* IupScriptLastDefault();
const char* IupScriptLastEscape();
int IupScriptAskedCount();
// Ends the script; returns the count of answers never used (tests expect 0).
int IupScriptEnd();
// In place of aborting, report an unexpected question to this handler (a
// test framework's failure) and answer it with cancel.
void IupScriptOnUnexpected(void (*handler)(const char* description));
// While a script is active, IupHelp and IupExecute record their target here
// instead of starting a program.
const char* IupScriptLastLaunched();

// ---- test helpers -----------------------------------------------------------
// Sends a key (an IUP code such as K_cN or 'a') to the element as if typed
// while it has the focus: key callbacks run, then the control gets the key.
void IupTestKey(Ihandle* ih, int code);
// Clicks a button, toggle or menu item as the user would.
void IupTestClick(Ihandle* ih);
// Chooses item (1-based) of a list as the user would (ACTION runs).
void IupTestSelect(Ihandle* list, int item);
