#pragma once

#include <QDialog>
#include <QString>

class QListWidgetItem;

namespace Ui {
class ResultTextDialog;
}

// Shows the analysis conclusion as a list of sentences with three editable
// connecting phrases and, on OK, composes the indented text to copy. The
// phrases are remembered in the settings ("text1".."text3").
class ResultTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResultTextDialog(QWidget* parent = nullptr);
    ~ResultTextDialog() override;

    // texts: the project's conclusion (unstable planes, unstable wedges,
    // toppling planes; any may be empty); topple: the project's switch.
    void showResult(const QString texts[3], bool topple);

    // Offers one more sentence (the factors of safety) at the end of the
    // first paragraph, with a check box that starts unchecked: the sentence
    // is copied only when the user checks it. Call after showResult; an
    // empty sentence adds nothing.
    void showFactors(const QString& sentence);

    QString result;
    QString phrase1;
    QString phrase2;
    QString phrase3;

public slots:
    void on_buttonBox_accepted();

private:
    QListWidgetItem* addText(const QString& text);
    QListWidgetItem* addPhrase(const QString& text);

    Ui::ResultTextDialog* ui;
    QListWidgetItem* phraseItems[3] = {nullptr, nullptr, nullptr};
    int slidingCount = 0; // items of the first paragraph; the rest form the second
    QListWidgetItem* factorItem = nullptr;
};
