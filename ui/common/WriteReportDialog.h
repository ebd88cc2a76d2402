// What a profile written with read-back came to, setting by setting: what
// was written, what was read back, and whether they agree; the settings that
// differ first, in red. The DTU page and the bench show their reports here.
#pragma once

#include "core/profile/Provision.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QTreeWidget;

class WriteReportDialog : public QDialog {
    Q_OBJECT
public:
    explicit WriteReportDialog(QWidget* parent);

    // How many settings differ. `unanswered`: requests the DTU never
    // answered, listed after.
    int Show(std::vector<profile::Checked> rows, const std::vector<std::string>& unanswered = {});
    void SetSummary(const QString& text);

private:
    QLabel* summary_;
    QTreeWidget* rows_;
};
