// The DTU page's phone list and communication-ID list with the own ID: on a
// KV-330-M the ID entry adds to the list, on the other models it sets the
// DTU's own ID.
#pragma once

#include "core/dtu/Requests.h"
#include "core/dtu/Responses.h"
#include "ui/dtu/DtuGroup.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace profile {
struct DeviceSettings;
}

class DtuListsGroup : public QObject {
    Q_OBJECT
public:
    DtuListsGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* phoneBox() const { return phoneBox_; }
    QGroupBox* idBox() const { return idBox_; }

    void ApplyModel(DtuModel model);
    // The entries' part of the page's dialog data.
    void SaveData();
    void LoadData();

    void ShowPhones(const std::vector<std::string>& values) { FillList(phoneList_, phoneCount_, values); }
    void ShowIds(const std::vector<std::string>& values) { FillList(idList_, idCount_, values); }
    void ShowOwnId(const dtu::OwnId& id);

    void Settings(unsigned queries, profile::DeviceSettings& s) const;
    void Apply(const profile::Profile& p);

private slots:
    void OnAddPhone();
    void OnAddIdOrSetOwnId();
    void OnReadOwnId();

private:
    QGroupBox* BuildPhoneBox(QWidget* parent);
    QGroupBox* BuildIdBox(QWidget* parent);
    void Connect();
    // A list's write, read, delete and clear buttons.
    using WriteBuilder = dtu::Built (*)(const std::vector<std::string>&);
    void WireList(QTreeWidget* list, std::uint8_t& count, const std::array<QPushButton*, 4>& buttons,
                  WriteBuilder write, std::uint8_t readCode, std::uint8_t clearCode, QLineEdit* clearedOnRead = nullptr);

    // The entry, once the page's data is saved, added to its list unless
    // the check refuses it.
    using EntryCheck = std::optional<std::string> (*)(std::string_view, int);
    void AddEntry(const QString& entry, EntryCheck check, QTreeWidget* list, std::uint8_t& count);
    void AddRow(QTreeWidget* list, std::uint8_t& count, const QString& value);
    void DeleteSelected(QTreeWidget* list, std::uint8_t& count);
    void ClearList(QTreeWidget* list, std::uint8_t& count, std::uint8_t clearCode);
    std::vector<std::string> ListValues(const QTreeWidget* list) const;
    void FillList(QTreeWidget* list, std::uint8_t& count, const std::vector<std::string>& values);

    DtuPageLink& page_;
    QString phone_;  // the dialog data
    QString id_;
    std::uint8_t phoneCount_ = 0;
    std::uint8_t idCount_ = 0;

    QGroupBox* phoneBox_ = nullptr;
    QLineEdit* phoneEdit_ = nullptr;
    QPushButton* addPhone_ = nullptr;
    QPushButton* phoneReadUnused_ = nullptr;
    QTreeWidget* phoneList_ = nullptr;
    QPushButton* writePhones_ = nullptr;
    QPushButton* readPhones_ = nullptr;
    QPushButton* deletePhone_ = nullptr;
    QPushButton* clearPhones_ = nullptr;

    QGroupBox* idBox_ = nullptr;
    QLineEdit* idEdit_ = nullptr;
    QCheckBox* customId_ = nullptr;
    QPushButton* addId_ = nullptr;
    QPushButton* readOwnId_ = nullptr;
    QTreeWidget* idList_ = nullptr;
    QPushButton* writeIds_ = nullptr;
    QPushButton* readIds_ = nullptr;
    QPushButton* deleteId_ = nullptr;
    QPushButton* clearIds_ = nullptr;
};
