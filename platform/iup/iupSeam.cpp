// The one seam through which every message box, question, file chooser and
// popup menu asks the user: answered from a script in tests, by real Qt
// dialogs otherwise.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <strings.h>

#include "iupInternal.h"
#include "iupQt.h"

namespace {

struct Answer {
    std::string expected;
    bool hasExpected = false;
    std::string answer;
};

struct Script {
    bool active = false;
    std::deque<Answer> answers;
    std::string lastKind, lastTitle, lastText, lastLaunched, lastDefault, lastEscape;
    int asked = 0;
    void (*onUnexpected)(const char*) = nullptr;
} script;

bool scripted() { return script.active || iupHeadless(); }

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The queued answer for this question; false (after reporting) when none fits.
bool takeAnswer(const char* kind, const std::string& title, const std::string& text,
                const std::string& choices, std::string* answer)
{
    script.lastKind = kind;
    script.lastTitle = title;
    script.lastText = text;
    ++script.asked;
    std::string problem;
    if (script.answers.empty()) {
        problem = "no answer queued";
    } else {
        const Answer& next = script.answers.front();
        if (next.hasExpected && !contains(title, next.expected) && !contains(text, next.expected)) {
            problem = "expected a question containing \"" + next.expected + "\"";
        }
    }
    if (problem.empty()) {
        *answer = script.answers.front().answer;
        script.answers.pop_front();
        return true;
    }
    const std::string description = std::string("unexpected ") + kind + " \"" + title + "\": \"" +
                                    text + "\"" + (choices.empty() ? "" : " [" + choices + "]") +
                                    " (" + problem + ")";
    if (script.onUnexpected != nullptr) {
        script.onUnexpected(description.c_str());
        return false;
    }
    std::fprintf(stderr, "kovra: %s\n", description.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string plain(const QString& title)
{
    QString t = title;
    const int tab = t.indexOf('\t');
    if (tab >= 0) {
        t = t.left(tab);
    }
    t.remove('&');
    return iupS(t);
}

// The menu item whose title or handle name is the answer, searching submenus.
Ihandle* findItem(Ihandle* menu, const std::string& answer)
{
    for (Ihandle* child : menu->children) {
        if (child->kind == "item") {
            const char* title = IupGetAttribute(child, "TITLE");
            const bool named =
                std::find(child->names.begin(), child->names.end(), answer) != child->names.end();
            if (named || (title != nullptr && plain(iupQ(title)) == answer)) {
                return child;
            }
        }
        if (child->kind == "submenu" || child->kind == "menu") {
            if (Ihandle* found = findItem(child, answer)) {
                return found;
            }
        }
    }
    return nullptr;
}

void listItems(Ihandle* menu, std::string* out)
{
    for (Ihandle* child : menu->children) {
        if (child->kind == "item") {
            const char* title = IupGetAttribute(child, "TITLE");
            if (!out->empty()) {
                *out += "|";
            }
            *out += title ? plain(iupQ(title)) : "";
        }
        if (child->kind == "submenu" || child->kind == "menu") {
            listItems(child, out);
        }
    }
}

// "Kovra files|*.kovra|All|*.*|" as Qt's "Kovra files (*.kovra);;All (*.*)".
QString qtFilter(const char* extFilter)
{
    const QStringList parts = iupQ(extFilter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return filters.join(";;");
}

QWidget* parentWidget(Ihandle* ih)
{
    Ihandle* p = iupNamedOrHandle(ih->stored("PARENTDIALOG"));
    return p != nullptr ? p->control() : nullptr;
}

}  // namespace

int iupSeamAsk(const char* kind, const char* title, const char* text,
               const std::vector<std::string>& buttons, QWidget* parent, const char* icon,
               int defaultButton, int escapeButton)
{
    const std::string t = title ? title : "", m = text ? text : "";
    const int count = static_cast<int>(buttons.size());
    // 1-based; 0 (or out of range) means the first, respectively the last.
    const int enterAnswer = defaultButton >= 1 && defaultButton <= count ? defaultButton : 1;
    const int escapeAnswer = escapeButton >= 1 && escapeButton <= count ? escapeButton : count;
    auto label = [&buttons](int n) {
        if (n < 1 || n > static_cast<int>(buttons.size())) {
            return std::string();
        }
        std::string b = buttons[static_cast<size_t>(n - 1)];
        b.erase(std::remove(b.begin(), b.end(), '&'), b.end());
        return b;
    };
    script.lastDefault = label(enterAnswer);
    script.lastEscape = label(escapeAnswer);
    if (scripted()) {
        std::string choices;
        for (const std::string& b : buttons) {
            choices += (choices.empty() ? "" : "|") + b;
        }
        std::string answer;
        if (!takeAnswer(kind, t, m, choices, &answer)) {
            return static_cast<int>(buttons.size());  // cancel: the last button
        }
        // The keys a user might press by mistake answer as the box would.
        if (strcasecmp(answer.c_str(), "ENTER") == 0) {
            return enterAnswer;
        }
        if (strcasecmp(answer.c_str(), "ESCAPE") == 0) {
            return escapeAnswer;
        }
        if (answer.size() == 1 && answer[0] >= '1' && answer[0] <= '9') {
            const int n = answer[0] - '0';
            return n <= static_cast<int>(buttons.size()) ? n : static_cast<int>(buttons.size());
        }
        for (size_t i = 0; i < buttons.size(); ++i) {
            QString b = iupQ(buttons[i].c_str());
            b.remove('&');
            if (b.compare(iupQ(answer.c_str()), Qt::CaseInsensitive) == 0) {
                return static_cast<int>(i) + 1;
            }
        }
        if (std::strcmp(kind, "MESSAGE") == 0) {
            return 1;
        }
        std::string problem = "answer \"" + answer + "\" is none of [" + choices + "]";
        if (script.onUnexpected) {
            script.onUnexpected(problem.c_str());
            return static_cast<int>(buttons.size());
        }
        std::fprintf(stderr, "kovra: %s\n", problem.c_str());
        std::abort();
    }
    QMessageBox box(parent);
    box.setWindowTitle(iupQ(title));
    box.setText(iupQ(text));
    const std::string i = icon ? icon : "";
    box.setIcon(i == "ERROR"      ? QMessageBox::Critical
                : i == "WARNING"  ? QMessageBox::Warning
                : i == "QUESTION" ? QMessageBox::Question
                                  : QMessageBox::Information);
    std::vector<QPushButton*> made;
    for (const std::string& b : buttons) {
        made.push_back(box.addButton(iupQ(b.c_str()), QMessageBox::AcceptRole));
    }
    if (!made.empty()) {
        box.setDefaultButton(made[static_cast<size_t>(enterAnswer - 1)]);
        box.setEscapeButton(made[static_cast<size_t>(escapeAnswer - 1)]);
    }
    box.exec();
    for (size_t n = 0; n < made.size(); ++n) {
        if (box.clickedButton() == made[n]) {
            return static_cast<int>(n) + 1;
        }
    }
    return 0;
}

int iupSeamFileDialog(Ihandle* ih)
{
    const char* type = ih->stored("DIALOGTYPE");
    const std::string dialogType = type ? type : "OPEN";
    const char* title = ih->stored("TITLE");
    const QString directory = iupQ(ih->stored("DIRECTORY"));
    QString result;
    bool cancelled = false;
    if (scripted()) {
        std::string answer;
        const std::string what = dialogType + " in \"" + iupS(directory) + "\" filter \"" +
                                 (ih->stored("EXTFILTER") ? ih->stored("EXTFILTER") : "") + "\"";
        if (!takeAnswer("FILE", title ? title : "", what, "", &answer)) {
            cancelled = true;
        }
        result = iupQ(answer.c_str());
        cancelled = cancelled || result.isEmpty();
    } else {
        QWidget* parent = parentWidget(ih);
        QString start = directory;
        if (const char* file = ih->stored("FILE")) {
            start = start.isEmpty() ? iupQ(file) : start + "/" + iupQ(file);
        }
        const QString filter = qtFilter(ih->stored("EXTFILTER"));
        if (strcasecmp(dialogType.c_str(), "DIR") == 0) {
            result = QFileDialog::getExistingDirectory(parent, iupQ(title), start);
        } else if (strcasecmp(dialogType.c_str(), "SAVE") == 0) {
            result = QFileDialog::getSaveFileName(parent, iupQ(title), start, filter);
        } else {
            result = QFileDialog::getOpenFileName(parent, iupQ(title), start, filter);
        }
        cancelled = result.isEmpty();
    }
    if (cancelled) {
        IupSetStrAttribute(ih, "STATUS", "-1");
        IupSetStrAttribute(ih, "VALUE", nullptr);
        return IUP_NOERROR;
    }
    const bool exists = QFileInfo::exists(result);
    IupSetStrAttribute(ih, "STATUS",
                       strcasecmp(dialogType.c_str(), "DIR") == 0 || exists ? "0" : "1");
    IupSetStrAttribute(ih, "VALUE", iupS(result).c_str());
    return IUP_NOERROR;
}

int iupSeamMenu(Ihandle* menu, int x, int y)
{
    if (scripted()) {
        std::string items, answer;
        listItems(menu, &items);
        if (!takeAnswer("MENU", "", items, items, &answer) || answer.empty()) {
            return IUP_NOERROR;
        }
        if (Ihandle* item = findItem(menu, answer)) {
            iupMenuItemChosen(item);
            return IUP_NOERROR;
        }
        const std::string problem = "menu answer \"" + answer + "\" is none of [" + items + "]";
        if (script.onUnexpected) {
            script.onUnexpected(problem.c_str());
            return IUP_NOERROR;
        }
        std::fprintf(stderr, "kovra: %s\n", problem.c_str());
        std::abort();
    }
    QMenu* m = iupMenuWidget(menu);
    QPoint at = QCursor::pos();
    if (x != IUP_MOUSEPOS && x != IUP_CURRENT && x != IUP_CENTER) {
        at.setX(x);
    }
    if (y != IUP_MOUSEPOS && y != IUP_CURRENT && y != IUP_CENTER) {
        at.setY(y);
    }
    m->exec(at);
    return IUP_NOERROR;
}

bool iupSeamLaunch(const char* what)
{
    if (!scripted()) {
        return false;
    }
    script.lastLaunched = what ? what : "";
    return true;
}

int IupAlarm(const char* title, const char* message, const char* b1, const char* b2, const char* b3)
{
    std::vector<std::string> buttons;
    for (const char* b : {b1, b2, b3}) {
        if (b != nullptr) {
            buttons.push_back(b);
        }
    }
    if (buttons.empty()) {
        buttons.push_back("OK");
    }
    const int answer =
        iupSeamAsk("QUESTION", title, message, buttons, QApplication::activeWindow(), "QUESTION");
    return answer == 0 ? static_cast<int>(buttons.size()) : answer;
}

void IupScriptBegin()
{
    script.answers.clear();
    script.active = true;
    script.asked = 0;
    script.lastKind.clear();
    script.lastTitle.clear();
    script.lastText.clear();
    script.lastLaunched.clear();
    script.lastDefault.clear();
    script.lastEscape.clear();
}

void IupScriptAnswer(const char* expected, const char* answer)
{
    Answer a;
    a.hasExpected = expected != nullptr;
    a.expected = expected ? expected : "";
    a.answer = answer ? answer : "";
    script.answers.push_back(a);
}

int IupScriptPending() { return static_cast<int>(script.answers.size()); }

const char* IupScriptLastAsked(const char** title, const char** text)
{
    if (title) {
        *title = script.lastTitle.c_str();
    }
    if (text) {
        *text = script.lastText.c_str();
    }
    return script.lastKind.c_str();
}

const char* IupScriptLastDefault() { return script.lastDefault.c_str(); }

const char* IupScriptLastEscape() { return script.lastEscape.c_str(); }

int IupScriptAskedCount() { return script.asked; }

int IupScriptEnd()
{
    const int left = static_cast<int>(script.answers.size());
    script.answers.clear();
    script.active = false;
    return left;
}

void IupScriptOnUnexpected(void (*handler)(const char*)) { script.onUnexpected = handler; }

const char* IupScriptLastLaunched() { return script.lastLaunched.c_str(); }

bool iupSeamScripted() { return scripted(); }

int iupSeamDialog(Ihandle* dialog)
{
    IupShow(dialog);
    IupFlush();
    for (int round = 0; round < 50; ++round) {
        if (dialog->destroyed || dialog->control() == nullptr || !dialog->control()->isVisible()) {
            return IUP_NOERROR;
        }
        const char* title = IupGetAttribute(dialog, "TITLE");
        std::string answer;
        if (!takeAnswer("DIALOG", title ? title : "", "a button to click, or \"\" to close", "",
                        &answer) ||
            answer.empty()) {
            dialog->control()->close();
            IupFlush();
            if (!dialog->destroyed && dialog->control() != nullptr) {
                dialog->control()->hide();
            }
            return IUP_NOERROR;
        }
        Ihandle* button = IupGetHandle(answer.c_str());
        if (button == nullptr) {
            const std::string problem = "dialog answer \"" + answer + "\" names no element";
            if (script.onUnexpected) {
                script.onUnexpected(problem.c_str());
            } else {
                std::fprintf(stderr, "kovra: %s\n", problem.c_str());
                std::abort();
            }
            dialog->control()->hide();
            return IUP_NOERROR;
        }
        IupTestClick(button);
        IupFlush();
    }
    return IUP_NOERROR;
}
