#include "docHooks.h"

#include <string>

namespace {

void printNothing(const char*) {}
void infoNothing(const char*, int) {}
Document* noDocument() { return nullptr; }
Settings* noSettings() { return nullptr; }
void setNoDocument(Document*) {}
void setNoFile(const char*) {}
const char* noAppDir() { return nullptr; }
int counter = 0;
int countDocument() { return counter++; }
int noScreen(int*, int*) { return 0; }
void refreshNothing() {}
void endNoRun(Document*, int) {}
void noTrapModel(Layer*) {}
int noFocus(void*) { return 0; }
void showNothing(void*, const char*) {}
const char* noFile() { return nullptr; }

constexpr DocHooks DEFAULTS = {
    printNothing,   printNothing,   infoNothing,    noDocument,     noSettings,     setNoDocument,
    setNoFile,      setNoFile,      noAppDir,       countDocument,  noScreen,       refreshNothing,
    refreshNothing, refreshNothing, refreshNothing, refreshNothing, refreshNothing, endNoRun,
    noTrapModel,    noFocus,        showNothing,    refreshNothing, noFile,         noFile};

DocHooks current = DEFAULTS;

template <typename F>
void take(F* slot, F given, F fallback)
{
    *slot = given != nullptr ? given : fallback;
}

}  // namespace

void Doc_setHooks(const DocHooks* hooks)
{
    if (hooks == nullptr) {
        current = DEFAULTS;
        return;
    }
    take(&current.print, hooks->print, DEFAULTS.print);
    take(&current.printColored, hooks->printColored, DEFAULTS.printColored);
    take(&current.showInfo, hooks->showInfo, DEFAULTS.showInfo);
    take(&current.getDocument, hooks->getDocument, DEFAULTS.getDocument);
    take(&current.getSettings, hooks->getSettings, DEFAULTS.getSettings);
    take(&current.setDocument, hooks->setDocument, DEFAULTS.setDocument);
    take(&current.setVoltageFile, hooks->setVoltageFile, DEFAULTS.setVoltageFile);
    take(&current.setLightFile, hooks->setLightFile, DEFAULTS.setLightFile);
    take(&current.appDir, hooks->appDir, DEFAULTS.appDir);
    take(&current.nextDocumentNumber, hooks->nextDocumentNumber, DEFAULTS.nextDocumentNumber);
    take(&current.screenSize, hooks->screenSize, DEFAULTS.screenSize);
    take(&current.prepareMain, hooks->prepareMain, DEFAULTS.prepareMain);
    take(&current.updateTitle, hooks->updateTitle, DEFAULTS.updateTitle);
    take(&current.updateActionbar, hooks->updateActionbar, DEFAULTS.updateActionbar);
    take(&current.updateSaveButton, hooks->updateSaveButton, DEFAULTS.updateSaveButton);
    take(&current.fillLayerList, hooks->fillLayerList, DEFAULTS.fillLayerList);
    take(&current.showLayer, hooks->showLayer, DEFAULTS.showLayer);
    take(&current.endRun, hooks->endRun, DEFAULTS.endRun);
    take(&current.applyTrapModel, hooks->applyTrapModel, DEFAULTS.applyTrapModel);
    take(&current.hasFocus, hooks->hasFocus, DEFAULTS.hasFocus);
    take(&current.showValue, hooks->showValue, DEFAULTS.showValue);
    take(&current.deviceReplaced, hooks->deviceReplaced, DEFAULTS.deviceReplaced);
    take(&current.voltageFile, hooks->voltageFile, DEFAULTS.voltageFile);
    take(&current.lightFile, hooks->lightFile, DEFAULTS.lightFile);
}

const DocHooks& Doc_hooks() { return current; }

namespace {

// Every message of the document ends its line, whatever its format says,
// so that two messages never run together on one console line.
std::string wholeLine(const char* text)
{
    std::string line = text != nullptr ? text : "";
    if (line.empty() || line.back() != '\n') {
        line += '\n';
    }
    return line;
}

}  // namespace

void Doc_print(const char* text) { current.print(wholeLine(text).c_str()); }

void Doc_printColored(const char* text) { current.printColored(wholeLine(text).c_str()); }

Document* Doc_document() { return current.getDocument(); }

Settings* Doc_settings() { return current.getSettings(); }
