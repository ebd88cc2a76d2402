#include "ui/dtu/DtuListsGroup.h"

#include "core/common/Hex.h"
#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"
#include "core/pages/DataFrame.h"
#include "core/profile/Profile.h"
#include "core/profile/Settings.h"
#include "ui/common/LineEdits.h"
#include "ui/common/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <tuple>

using namespace ui::dtu_internal;

namespace {

QTreeWidget* List(QWidget* parent, int id, const char* name, const QString& valueCaption, const QString& description)
{
    auto* list = ui::Tag(new QTreeWidget(parent), id, name);
    list->setColumnCount(2);
    list->setHeaderLabels({DtuListsGroup::tr("序列编号"), valueCaption});
    list->setColumnWidth(0, 70);
    list->setColumnWidth(1, 130);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionsMovable(true);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setMinimumHeight(90);
    list->setAccessibleName(valueCaption);
    list->setAccessibleDescription(description);
    return list;
}

// A list's write, read, delete and clear buttons: "writePhonesButton" ...
std::array<QPushButton*, 4> ListButtons(QWidget* box, std::array<int, 4> ids, const char* noun)
{
    static const char* const verbs[] = {"write", "read", "delete", "clear"};
    const QString captions[] = {DtuListsGroup::tr("写入"), DtuListsGroup::tr("读取"), DtuListsGroup::tr("删除"),
                                DtuListsGroup::tr("清空")};
    std::array<QPushButton*, 4> buttons{};
    for (std::size_t i = 0; i < 4; ++i) {
        const QByteArray name = QByteArray(verbs[i]) + noun + "Button";
        buttons[i] = ui::Button(box, captions[i], name.constData(), ids[i]);
    }
    return buttons;
}

// The entry row: its field, then the add and read buttons.
QGridLayout* EntryRow(const QString& caption, QWidget* field, QPushButton* add, QPushButton* read)
{
    auto* entry = new QGridLayout;
    Row(entry, 0, caption, field);
    entry->addWidget(add, 0, 2);
    entry->addWidget(read, 0, 3);
    return entry;
}

// Entry row on top, the list, its buttons below.
void ListLayout(QGroupBox* box, QLayout* entry, QTreeWidget* list, const std::array<QPushButton*, 4>& buttons)
{
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(entry);
    layout->addWidget(list, 1);
    layout->addLayout(Buttons({buttons[0], buttons[1], buttons[2], buttons[3]}));
}

}  // namespace

DtuListsGroup::DtuListsGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    phoneBox_ = BuildPhoneBox(parent);
    idBox_ = BuildIdBox(parent);
    Connect();
}

QGroupBox* DtuListsGroup::BuildPhoneBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("手机号码管理"), parent);
    phoneEdit_ = ui::Tag(new ui::DigitEdit(box), 1011, "phoneEdit");
    addPhone_ = ui::Button(box, tr("增加"), "addPhoneButton", 1012);
    phoneReadUnused_ = ui::Button(box, tr("读取"), "phoneReadUnusedButton", 1027);
    phoneReadUnused_->setEnabled(false);
    phoneList_ = List(box, 1033, "phoneList", tr("电话号码"), tr("DTU 的授权电话号码列表"));
    const auto buttons = ListButtons(box, {1013, 1014, 1024, 1015}, "Phones");
    std::tie(writePhones_, readPhones_, deletePhone_, clearPhones_) = std::tuple_cat(buttons);

    ListLayout(box, EntryRow(tr("号码:"), phoneEdit_, addPhone_, phoneReadUnused_), phoneList_, buttons);
    return box;
}

QGroupBox* DtuListsGroup::BuildIdBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("通讯ID管理"), parent);
    idEdit_ = ui::Tag(new QLineEdit(box), 1016, "idEdit");
    customId_ = Check(box, 1065, "customIdCheck", tr("自定义"));
    addId_ = ui::Button(box, tr("增加"), "addIdButton", 1017);
    readOwnId_ = ui::Button(box, tr("读取"), "readOwnIdButton", 1026);
    idList_ = List(box, 1034, "idList", tr("MAC地址"), tr("DTU 的通讯 ID 列表"));
    const auto buttons = ListButtons(box, {1018, 1019, 1025, 1020}, "Ids");
    std::tie(writeIds_, readIds_, deleteId_, clearIds_) = std::tuple_cat(buttons);

    QGridLayout* entry = EntryRow(tr("通讯ID:"), idEdit_, addId_, readOwnId_);
    entry->addWidget(customId_, 1, 1);
    ListLayout(box, entry, idList_, buttons);
    return box;
}

void DtuListsGroup::Connect()
{
    connect(addPhone_, &QPushButton::clicked, this, &DtuListsGroup::OnAddPhone);
    WireList(phoneList_, phoneCount_, {writePhones_, readPhones_, deletePhone_, clearPhones_},
             dtu::BuildWritePhoneList, dtu::cmd::kReadPhoneList, dtu::cmd::kClearPhoneList);
    connect(addId_, &QPushButton::clicked, this, &DtuListsGroup::OnAddIdOrSetOwnId);
    connect(readOwnId_, &QPushButton::clicked, this, &DtuListsGroup::OnReadOwnId);
    // Reading the ID list empties the ID entry too: the answer may fill it.
    WireList(idList_, idCount_, {writeIds_, readIds_, deleteId_, clearIds_}, dtu::BuildWriteIdList,
             dtu::cmd::kReadIdList, dtu::cmd::kClearIdList, idEdit_);
}

void DtuListsGroup::WireList(QTreeWidget* list, std::uint8_t& count, const std::array<QPushButton*, 4>& buttons,
                              WriteBuilder write, std::uint8_t readCode, std::uint8_t clearCode,
                              QLineEdit* clearedOnRead)
{
    connect(buttons[0], &QPushButton::clicked, this, [this, list, write] { page_.SendBuilt(write(ListValues(list))); });
    connect(buttons[1], &QPushButton::clicked, this, [this, list, readCode, clearedOnRead] {
        list->clear();
        if (clearedOnRead)
            clearedOnRead->clear();
        page_.SendQuery(readCode);
    });
    connect(buttons[2], &QPushButton::clicked, this, [this, list, &count] { DeleteSelected(list, count); });
    connect(buttons[3], &QPushButton::clicked, this,
            [this, list, &count, clearCode] { ClearList(list, count, clearCode); });
}

void DtuListsGroup::ApplyModel(DtuModel model)
{
    const bool m = model == DtuModel::M330M;
    Enable({phoneEdit_, addPhone_, phoneList_, writePhones_, readPhones_, deletePhone_, clearPhones_, idList_,
            writeIds_, readIds_, deleteId_, clearIds_},
           m);
    customId_->setEnabled(!m);
    addId_->setText(m ? tr("增加") : tr("设置"));
}

void DtuListsGroup::SaveData()
{
    phone_ = phoneEdit_->text();
    id_ = idEdit_->text();
}

void DtuListsGroup::LoadData()
{
    phoneEdit_->setText(phone_);
    idEdit_->setText(id_);
}

void DtuListsGroup::ShowOwnId(const dtu::OwnId& id)
{
    idEdit_->setText(Q(id.id));
    customId_->setChecked(id.custom);
}

void DtuListsGroup::Settings(unsigned queries, profile::DeviceSettings& s) const
{
    if (queries & profile::kPhones)
        s.phones = ListValues(phoneList_);
    if (queries & profile::kIds)
        s.ids = ListValues(idList_);
    if (queries & profile::kOwnId)
        s.ownId = dtu::OwnId{hex::UpperAscii(Std(idEdit_->text())), customId_->isChecked()};
}

void DtuListsGroup::Apply(const profile::Profile& p)
{
    if (p.phones)
        FillList(phoneList_, phoneCount_, *p.phones);
    if (p.ids)
        FillList(idList_, idCount_, *p.ids);
    if (p.ownId) {
        if (p.ownId->id)
            idEdit_->setText(Q(*p.ownId->id));
        if (p.ownId->custom)
            customId_->setChecked(*p.ownId->custom);
    }
}

void DtuListsGroup::AddRow(QTreeWidget* list, std::uint8_t& count, const QString& value)
{
    auto* item = new QTreeWidgetItem({Q(dtu::ListLabel(count)), value});
    list->insertTopLevelItem(std::min<int>(count, list->topLevelItemCount()), item);
    ++count;
}

void DtuListsGroup::DeleteSelected(QTreeWidget* list, std::uint8_t& count)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    if (count > 0)
        --count;
}

void DtuListsGroup::ClearList(QTreeWidget* list, std::uint8_t& count, std::uint8_t clearCode)
{
    QApplication::beep();
    // OK clears the DTU's copy, Cancel the page's.
    if (page_.Confirm(dtu::msg::kClearQuestion)) {
        page_.SendQuery(clearCode);
        return;
    }
    list->clear();
    count = 0;
}

std::vector<std::string> DtuListsGroup::ListValues(const QTreeWidget* list) const
{
    std::vector<std::string> values;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        values.push_back(Std(list->topLevelItem(i)->text(1)));
    return values;
}

void DtuListsGroup::FillList(QTreeWidget* list, std::uint8_t& count, const std::vector<std::string>& values)
{
    // The read request emptied the list; an answer adds to what is there.
    count = 0;
    for (const std::string& v : values)
        AddRow(list, count, Q(v));
}

void DtuListsGroup::OnAddPhone()
{
    AddEntry(phone_, dtu::CheckPhoneEntry, phoneList_, phoneCount_);
}

void DtuListsGroup::OnAddIdOrSetOwnId()
{
    if (page_.CurrentModel() != DtuModel::M330M) {
        // Anything but a digit would go out as zeros and replace the DTU's
        // own ID; a short ID is still completed with zeros.
        const std::string id = Std(idEdit_->text());
        if (const auto refusal = pages::CheckHexText(id, pages::kOwnIdField, true)) {
            page_.Say(*refusal);
            return;
        }
        page_.Send(dtu::BuildSetOwnId(id, customId_->isChecked()));
        return;
    }
    AddEntry(id_, dtu::CheckIdEntry, idList_, idCount_);
}

void DtuListsGroup::AddEntry(const QString& entry, EntryCheck check, QTreeWidget* list, std::uint8_t& count)
{
    page_.SaveData();  // fills `entry`
    if (const auto refusal = check(Std(entry), count)) {
        page_.Say(*refusal);
        return;
    }
    AddRow(list, count, entry);
}

void DtuListsGroup::OnReadOwnId()
{
    page_.SendQuery(dtu::cmd::kReadOwnId);
}
