#include "MaterialWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>

MaterialWindow::MaterialWindow(const std::string& databasePath, const MaterialTable& material)
{
    setObjectName("KovraDatabase");
    setWindowTitle(QString::fromUtf8((databasePath + " - KovraDatabase").c_str()));
    grid = new QTableWidget(static_cast<int>(material.rows.size()),
                            static_cast<int>(material.headers.size()), this);
    grid->setObjectName("KovraDatabase_Table");
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->setVisible(false);
    grid->setWordWrap(false);
    QStringList headers;
    for (const std::string& h : material.headers) {
        headers << QString::fromUtf8(h.c_str());
    }
    grid->setHorizontalHeaderLabels(headers);
    for (size_t r = 0; r < material.rows.size(); ++r) {
        for (size_t c = 0; c < material.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromUtf8(material.rows[r][c].c_str()));
            // Numbers line up on the right, names and notes on the left.
            bool number = false;
            item->text().toDouble(&number);
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            if (item->text().size() > 24) {
                item->setToolTip(item->text());  // long references and notes are cut in the cell
            }
            grid->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    grid->resizeColumnsToContents();
    for (int c = 0; c < grid->columnCount(); ++c) {
        grid->setColumnWidth(c, std::min(grid->columnWidth(c), 200));
    }
    setCentralWidget(grid);
    auto* status = new QLabel(this);
    status->setObjectName("KovraDatabase_Status");
    status->setText(material.error.empty()
                        ? QString("%1 materials, read-only").arg(material.rows.size())
                        : QString::fromUtf8(material.error.c_str()));
    statusBar()->addWidget(status, 1);
    resize(1100, 600);
}
