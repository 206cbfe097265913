#include "dialogs/setplanesdialog.h"

#include "ui_setplanesdialog.h"

#include <QListWidgetItem>
#include <QPushButton>

SetPlanesDialog::SetPlanesDialog(QWidget* parent) : QDialog(parent), ui(new Ui::SetPlanesDialog) {
    ui->setupUi(this);
    connect(ui->listSets, &QListWidget::itemChanged, this, [this] { updateState(); });
}

SetPlanesDialog::~SetPlanesDialog() {
    delete ui;
}

QString SetPlanesDialog::problem(int newPlanes, int room) {
    if (newPlanes <= room)
        return QString();
    return tr("选了%1个新结构面，只能再添加%2个").arg(newPlanes).arg(room);
}

void SetPlanesDialog::setChoices(const QVector<Choice>& choices, int planes, int maxPlanes) {
    choices_ = choices;
    room_ = qMax(0, maxPlanes - planes);
    ui->labelRoom->setText(tr("最多%1个结构面：已有%2个，还可添加%3个；已用作结构面的组更新其结构面。")
                               .arg(maxPlanes)
                               .arg(planes)
                               .arg(room_));
    const QSignalBlocker block(ui->listSets);
    ui->listSets->clear();
    for (const Choice& c : choices_) {
        auto* item = new QListWidgetItem(c.text, ui->listSets);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(c.checked ? Qt::Checked : Qt::Unchecked);
    }
    updateState();
}

QVector<int> SetPlanesDialog::chosen() const {
    QVector<int> sets;
    for (int i = 0; i < choices_.size() && i < ui->listSets->count(); ++i)
        if (ui->listSets->item(i)->checkState() == Qt::Checked)
            sets.append(choices_.at(i).set);
    return sets;
}

void SetPlanesDialog::updateState() {
    int newPlanes = 0, all = 0;
    for (int i = 0; i < choices_.size() && i < ui->listSets->count(); ++i)
        if (ui->listSets->item(i)->checkState() == Qt::Checked) {
            ++all;
            if (!choices_.at(i).linked)
                ++newPlanes;
        }
    QString why = problem(newPlanes, room_);
    if (why.isEmpty() && all == 0)
        why = tr("未选任何组");
    ui->labelProblem->setText(why);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
}
