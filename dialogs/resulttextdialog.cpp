#include "dialogs/resulttextdialog.h"

#include "ui_resulttextdialog.h"

#include <QPushButton>
#include <QSettings>

namespace {
const char* const kPhraseKeys[3] = {"text1", "text2", "text3"};
}

ResultTextDialog::ResultTextDialog(QWidget* parent) : QDialog(parent), ui(new Ui::ResultTextDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("复制粘帖结果文本"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    QSettings settings;
    phrase1 =
        settings.value(QLatin1String(kPhraseKeys[0]), tr("根据赤平投影图中各结构面及其组合分析中可看出："))
            .toString();
    phrase2 = settings
                  .value(QLatin1String(kPhraseKeys[1]), tr("它们属于不稳定结构，故该段边坡现状稳定性较差，在"
                                                           "暴雨或震动等不利因素影响下极易沿裂隙面发生"
                                                           "滑动或崩塌。"))
                  .toString();
    phrase3 = settings
                  .value(QLatin1String(kPhraseKeys[2]), tr("其结构面较陡，随着岩体的不断风化，在降雨、震动或"
                                                           "卸荷作用等外力作用下，局部岩体容易发生倾倒"
                                                           "破坏，导致边坡不稳定。"))
                  .toString();
}

ResultTextDialog::~ResultTextDialog() {
    delete ui;
}

QListWidgetItem* ResultTextDialog::addText(const QString& text) {
    auto* item = new QListWidgetItem(text, ui->listWidget);
    return item;
}

QListWidgetItem* ResultTextDialog::addPhrase(const QString& text) {
    QListWidgetItem* item = addText(text);
    item->setFlags(Qt::ItemIsEditable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

void ResultTextDialog::showResult(const QString texts[3], bool topple) {
    ui->listWidget->clear();
    phraseItems[0] = phraseItems[1] = phraseItems[2] = nullptr;
    factorItem = nullptr;

    phraseItems[0] = addPhrase(phrase1);
    addText(texts[0].isEmpty() ? tr("边坡岩体中不存在不稳定结构面；") : texts[0]);
    addText(texts[1].isEmpty() ? tr("其结构面组合中不存在不稳定楔形体。") : texts[1]);
    if (!texts[0].isEmpty() || !texts[1].isEmpty())
        phraseItems[1] = addPhrase(phrase2);
    slidingCount = ui->listWidget->count();

    if (topple) {
        if (!texts[2].isEmpty()) {
            addText(texts[2]);
            phraseItems[2] = addPhrase(phrase3);
        } else {
            addText(tr("边坡岩体中不存在易倾倒破坏结构面。"));
        }
    }
}

void ResultTextDialog::showFactors(const QString& sentence) {
    if (sentence.isEmpty() || factorItem)
        return;
    factorItem = new QListWidgetItem(sentence);
    factorItem->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    factorItem->setCheckState(Qt::Unchecked);
    ui->listWidget->insertItem(slidingCount, factorItem);
    ++slidingCount;
}

void ResultTextDialog::on_buttonBox_accepted() {
    const QString indent = QStringLiteral("    ");
    const int count = ui->listWidget->count();
    result = indent;
    for (int i = 0; i < qMin(slidingCount, count); ++i) {
        const QListWidgetItem* item = ui->listWidget->item(i);
        if (item != factorItem || item->checkState() == Qt::Checked)
            result += item->text();
    }
    if (count > slidingCount) {
        result += QLatin1Char('\n') + indent;
        for (int i = slidingCount; i < count; ++i)
            result += ui->listWidget->item(i)->text();
    }

    QSettings settings;
    QString* phrases[3] = {&phrase1, &phrase2, &phrase3};
    for (int i = 0; i < 3; ++i) {
        if (!phraseItems[i])
            continue;
        *phrases[i] = phraseItems[i]->text();
        settings.setValue(QLatin1String(kPhraseKeys[i]), *phrases[i]);
    }
}
