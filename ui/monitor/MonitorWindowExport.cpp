// The rows as text: the selection to the clipboard, the table to a text or
// CSV file.
#include "ui/monitor/MonitorWindow.h"

#include "ui/common/FileDialog.h"
#include "ui/common/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>


QString MonitorWindow::SelectedText() const
{
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex& row : rows) {
        if (const monitor::Entry* e = model_->EntryAt(row.row()))
            text += QString::fromStdString(monitor::TextLine(*e)) + u'\n';
    }
    return text;
}

void MonitorWindow::OnCopy()
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

bool MonitorWindow::SaveRows(const QString& path, bool csv) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    std::string out = csv ? monitor::CsvHeader() + "\r\n" : std::string{};
    const char* const end = csv ? "\r\n" : "\n";
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (const monitor::Entry* e = model_->EntryAt(row))
            out += (csv ? monitor::CsvLine(*e) : monitor::TextLine(*e)) + end;
    }
    const qint64 written = file.write(out.data(), static_cast<qint64>(out.size()));
    return file.flush() && written == static_cast<qint64>(out.size());
}

void MonitorWindow::OnSave()
{
    const QString csvFilter = QStringLiteral("CSV (*.csv)");
    QString chosen;
    const QString path =
        ui::GetSaveFileName(this, csvFilter + tr(";;文本 (*.txt);;所有文件 (*)"), &chosen);
    if (path.isEmpty())
        return;
    // The name's suffix decides; without one, the filter chosen.
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ||
                     (!path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) && chosen == csvFilter);
    if (!SaveRows(path, csv))
        ui::ShowMessage(this, tr("错误！"), tr("无法写入文件 %1。").arg(path), ui::Buttons::Ok,
                        QMessageBox::Warning);
}
