#include "app/prompts/qt_prompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None: return QMessageBox::NoIcon;
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

PromptAnswer QtPrompts::message(const MessageRequest &request)
{
    QWidget *parent = parent_ ? parent_.data() : QApplication::activeWindow();
    QMessageBox box(toQtIcon(request.icon), request.title, QString(request.text).replace(u"\r\n"_s, u"\n"_s),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton *yes = nullptr;
    QPushButton *no = nullptr;
    QPushButton *ok = nullptr;
    if (request.buttons == PromptButtons::YesNo) {
        // Captions in Russian whatever translations are installed.
        yes = box.addButton(u"Да"_s, QMessageBox::YesRole);
        no = box.addButton(u"Нет"_s, QMessageBox::NoRole);
        box.setDefaultButton(request.defaultButton == PromptAnswer::No ? no : yes);
        box.setEscapeButton(no);
    } else {
        ok = box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    box.exec();
    if (request.buttons == PromptButtons::YesNo)
        return box.clickedButton() == yes ? PromptAnswer::Yes : PromptAnswer::No;
    return PromptAnswer::Ok;
}

QString QtPrompts::toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries << parts[i] + u" ("_s + QString(parts[i + 1]).replace(u';', u' ') + u')';
    return entries.join(u";;"_s);
}

QString QtPrompts::openFile(const OpenFileRequest &request)
{
    QWidget *parent = parent_ ? parent_.data() : QApplication::activeWindow();
    QFileDialog dialog(parent, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(toQtFilter(request.filter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtPrompts::openDocument(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace qm
