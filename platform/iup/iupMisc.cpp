// Elements without a widget: the timer, the clipboard and the file
// chooser's settings.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include "iupInternal.h"

namespace {

class Timer : public Ihandle_ {
public:
    Timer() : Ihandle_("timer")
    {
        timer.setTimerType(Qt::CoarseTimer);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            if (call("ACTION_CB") == IUP_CLOSE) {
                timer.stop();
            }
        });
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TIME") {
            timer.setInterval(value ? std::max(1, std::atoi(value)) : 1000);
            return true;
        }
        if (name == "RUN") {
            if (iupIsYes(value)) {
                timer.start();
            } else {
                timer.stop();
            }
            return true;
        }
        return false;
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "RUN") {
            out = timer.isActive() ? "YES" : "NO";
            return true;
        }
        if (name == "TIME") {
            out = std::to_string(timer.interval());
            return true;
        }
        return false;
    }
    void destroyControl() override { timer.stop(); }

private:
    QTimer timer;
};

class Clipboard : public Ihandle_ {
public:
    Clipboard() : Ihandle_("clipboard") {}
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TEXT") {
            if (value == nullptr) {
                QGuiApplication::clipboard()->clear();
            } else {
                QGuiApplication::clipboard()->setText(iupQ(value));
            }
            return true;
        }
        return false;
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TEXT") {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            if (data == nullptr || !data->hasText()) {
                return false;
            }
            out = iupS(data->text());
            return true;
        }
        if (name == "TEXTAVAILABLE") {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            out = data != nullptr && data->hasText() ? "YES" : "NO";
            return true;
        }
        return false;
    }
};

// The file chooser keeps its attributes; IupPopup asks through the seam.
class FileDialog : public Ihandle_ {
public:
    FileDialog() : Ihandle_("filedlg") {}
};

}  // namespace

Ihandle* IupTimer() { return new Timer(); }

Ihandle* IupClipboard() { return new Clipboard(); }

Ihandle* IupFileDlg() { return new FileDialog(); }
