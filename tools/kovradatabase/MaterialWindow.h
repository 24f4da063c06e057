// The window of kovradatabase: the material table, read-only, with the
// material names kept in view while the values scroll.
#pragma once

#include <QMainWindow>

#include "MaterialTable.h"

class QTableWidget;

class MaterialWindow : public QMainWindow {
public:
    MaterialWindow(const std::string& databasePath, const MaterialTable& table);
    QTableWidget* table() const { return grid; }

private:
    QTableWidget* grid = nullptr;
};
