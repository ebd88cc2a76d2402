// The serial settings page: the only place where the port is opened and
// closed. It lists the ports that can be opened right now; a device path can
// also be typed.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

class CUartParamDlg : public QDialog {
    Q_OBJECT
public:
    // Where the port list comes from; the main window adds the simulated
    // DTU's terminal and a device named on the command line first.
    using PortSource = std::function<QStringList()>;

    CUartParamDlg(PortSource ports, QWidget* parent);

    // Shows the page as g_Serial is: open or closed.
    void UpdateState();
    // Shows why a port could not be opened, or nothing.
    QString failureText() const;

private slots:
    void OnOpenClose();
    void OnRefresh();

private:
    PortSource ports_;
    QComboBox* portCombo_;
    QComboBox* baudCombo_;
    QComboBox* parityCombo_;
    QPushButton* openButton_;
    QPushButton* refreshButton_;
    QLabel* failure_;
};
