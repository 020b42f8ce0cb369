#include "ui/tools/transmitter_info/transmitter_info_view.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "ui/tools/tool_widgets.h"
#include "ui/support/screen_fit.h"

namespace corvel {
namespace {

QString RoomText(qsizetype used, std::size_t room) {
    return QString("%1 left").arg(static_cast<qsizetype>(room) - used);
}

}  // namespace

XmtrInfo::XmtrInfo(const ToolContext& context, QWidget* parent) : QDialog(parent), model_(context) {
    setWindowTitle("Transmitter Information");
    auto* grid = new QGridLayout(this);
    int row = 0;
    const std::pair<const char*, QLabel**> shown[] = {
        {"Serial Number:", &serialNumber_}, {"Model:", &modelName_}, {"Version:", &version_}};
    for (const auto& [caption, label] : shown) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        *label = Named(new QLabel(this), QString(caption).remove(':').remove(' ').toLower());
        grid->addWidget(*label, row++, 1, 1, 2);
    }
    p1Line_ = Named(new QLabel("LSL:", this), "p1Line");
    p2Line_ = Named(new QLabel("USL:", this), "p2Line");
    grid->addWidget(p1Line_, row++, 0, 1, 3);
    grid->addWidget(p2Line_, row++, 0, 1, 3);
    grid->addWidget(new QLabel("Tag No.", this), row, 0);
    tag_ = limitedLine("tagEdit", kTagRoom, tagRoom_);
    grid->addWidget(tag_, row, 1);
    grid->addWidget(tagRoom_, row++, 2);
    grid->addWidget(new QLabel("Asset No.", this), row, 0);
    asset_ = limitedLine("assetEdit", kAssetRoom, assetRoom_);
    grid->addWidget(asset_, row, 1);
    grid->addWidget(assetRoom_, row++, 2);
    grid->addWidget(new QLabel("Description", this), row, 0, Qt::AlignTop);
    description_ = Named(new QPlainTextEdit(this), "descriptionEdit");
    description_->setMaximumHeight(90);
    // The box wraps at its width and breaks a long word anywhere, so no line
    // is wider than the box and a sideways bar would only ever be empty.
    description_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    descriptionRoom_ = Named(new QLabel(this), "descriptionRoom");
    connect(description_, &QPlainTextEdit::textChanged, this, &XmtrInfo::keepDescriptionWithinRoom);
    grid->addWidget(description_, row, 1);
    grid->addWidget(descriptionRoom_, row++, 2, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    auto* save = Named(new QPushButton("Save", this), "saveButton");
    auto* close = Named(new QPushButton("Close", this), "closeButton");
    for (QPushButton* button : {save, close}) button->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, [this] {
        model_.save(tag_->text().toStdString(), asset_->text().toStdString(),
                    description_->toPlainText().toStdString());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    grid->addLayout(buttons, row, 0, 1, 3);
    ScrollWhenLargerThanScreen(*this);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.open();
    QApplication::restoreOverrideCursor();
    showValues();
}

QLineEdit* XmtrInfo::limitedLine(const QString& name, std::size_t room, QLabel*& roomLabel) {
    auto* edit = Named(new QLineEdit(this), name);
    edit->setMaxLength(static_cast<int>(room));
    roomLabel = Named(new QLabel(this), name + "Room");
    connect(edit, &QLineEdit::textChanged, this, &XmtrInfo::showRoom);
    return edit;
}

// Every character the transmitter stores takes one byte, so characters count the room.
void XmtrInfo::keepDescriptionWithinRoom() {
    const QString text = description_->toPlainText();
    if (text.size() > static_cast<qsizetype>(kDescriptionRoom)) {
        const QSignalBlocker quiet(description_);
        description_->setPlainText(text.left(static_cast<qsizetype>(kDescriptionRoom)));
        description_->moveCursor(QTextCursor::End);
    }
    showRoom();
}

void XmtrInfo::showRoom() {
    tagRoom_->setText(RoomText(tag_->text().size(), kTagRoom));
    assetRoom_->setText(RoomText(asset_->text().size(), kAssetRoom));
    descriptionRoom_->setText(RoomText(description_->toPlainText().size(), kDescriptionRoom));
}

void XmtrInfo::showValues() {
    const TransmitterInfoState& info = model_.state();
    serialNumber_->setText(Text(info.serialNumber));
    modelName_->setText(Text(info.model));
    version_->setText(Text(info.version));
    p1Line_->setText(Text(info.p1Line));
    p2Line_->setText(Text(info.p2Line));
    tag_->setText(Text(info.tag));
    asset_->setText(Text(info.asset));
    description_->setPlainText(Text(info.description));
    for (QWidget* field : {static_cast<QWidget*>(tag_), static_cast<QWidget*>(asset_),
                           static_cast<QWidget*>(description_)})
        field->setEnabled(info.editable);
    showRoom();
}

}  // namespace corvel
