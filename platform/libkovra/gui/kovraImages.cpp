// The image set: Qt's standard icons where one fits, small drawn badges for
// the rest (the parameter dialogs, the layer commands, the program icon).
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "iupQt.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

struct ImageRow {
    int id;
    const char* tip;
    QStyle::StandardPixmap standard;  // SP_CustomBase: drawn
    const char* badge;                // letters of a drawn badge
    QRgb color;
};

constexpr QStyle::StandardPixmap DRAWN = QStyle::SP_CustomBase;

const ImageRow IMAGES[] = {
    {2, "New device (Ctrl+N)", QStyle::SP_FileIcon, nullptr, 0},
    {3, "Open a device file (Ctrl+O)", QStyle::SP_DialogOpenButton, nullptr, 0},
    {4, "Save the device (Ctrl+S)", QStyle::SP_DialogSaveButton, nullptr, 0},
    {10, "Cut", DRAWN, "\u2702", 0xff5a6b7c},
    {11, "Copy", DRAWN, "\u2750", 0xff5a6b7c},
    {12, "Paste", DRAWN, "\u2398", 0xff5a6b7c},
    {50, "Functions", DRAWN, "f(x)", 0xff3d6fb0},
    {51, "Run the simulation (F12)", QStyle::SP_MediaPlay, nullptr, 0},
    {52, "Stop the simulation (Alt+F12)", QStyle::SP_MediaStop, nullptr, 0},
    {121, "Insert a layer", DRAWN, "+", 0xff2e8b57},
    {122, "Delete the layer", DRAWN, "\u2212", 0xffc0392b},
    {123, "Layer parameters (F5)", DRAWN, "P", 0xff3d6fb0},
    {124, "Doping (F6)", DRAWN, "N", 0xff8e44ad},
    {125, "Traps", DRAWN, "Tr", 0xffa0522d},
    {126, "Urbach tail", DRAWN, "U", 0xff7f8c8d},
    {127, "Refractive index (F8)", DRAWN, "n", 0xff16a085},
    {128, "Mobility (F7)", DRAWN, "\u03bc", 0xffd35400},
    {129, "Temperature", DRAWN, "T", 0xffc0392b},
    {130, "Contacts", DRAWN, "C", 0xff34495e},
    {131, "Variables", DRAWN, "$", 0xff2c3e50},
    {132, "Lattice", DRAWN, "L", 0xff6c5ce7},
    {135, "Voltage (F11)", DRAWN, "V", 0xff2980b9},
    {136, "Light (F10)", DRAWN, "\u2600", 0xffe1a100},
    {137, "Numeric", DRAWN, "#", 0xff576574},
    {151, "Plot the results", DRAWN, "\u2197", 0xff27ae60},
    {159, "Clear the output", QStyle::SP_DialogResetButton, nullptr, 0},
    {160, "Reset", QStyle::SP_BrowserReload, nullptr, 0},
    {180, "Kovra", DRAWN, "K", 0xff1f5fa8},
};

std::map<int, std::string> registered;

QIcon badge(const char* letters, QRgb color)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
        p.fillPath(path, QColor::fromRgba(color));
        QFont font = QApplication::font();
        font.setBold(true);
        font.setPixelSize(
            std::max(7, static_cast<int>(size * (std::strlen(letters) > 2 ? 0.36 : 0.58))));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString::fromUtf8(letters));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const ImageRow* rowOf(int id)
{
    for (const ImageRow& row : IMAGES) {
        if (row.id == id) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

void Images_load()
{
    for (const ImageRow& row : IMAGES) {
        const std::string name = KOV_Image_ + std::to_string(row.id);
        if (IupGetHandle(name.c_str()) != nullptr) {
            continue;
        }
        const QIcon icon = row.standard == DRAWN
                               ? badge(row.badge, row.color)
                               : QApplication::style()->standardIcon(row.standard);
        IupSetHandle(name.c_str(), iupImageCreate(icon));
        registered[row.id] = name;
    }
}

void Images_destroy()
{
    for (const auto& [id, name] : registered) {
        Ihandle* image = IupGetHandle(name.c_str());
        IupSetHandle(name.c_str(), nullptr);
        IupDestroy(image);
    }
    registered.clear();
}

const char* Images_get(int id, char* tip, size_t tipSize)
{
    const ImageRow* row = rowOf(id);
    if (tip != nullptr && tipSize > 0) {
        std::snprintf(tip, tipSize, "%s", row != nullptr ? row->tip : "");
    }
    auto it = registered.find(id);
    return it == registered.end() ? nullptr : it->second.c_str();
}

const char* Images_getName(int id) { return Images_get(id, nullptr, 0); }
