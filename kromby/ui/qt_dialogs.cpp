#include "kromby/ui/qt_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace kui {

QString FilterString(const std::vector<FileFilter>& filters) {
    QStringList lines;
    for (const FileFilter& f : filters) {
        QString patterns = QString::fromStdString(f.Pattern);
        patterns.replace(';', ' ');
        lines << QString::fromStdString(f.Text) + " (" + patterns + ")";
    }
    return lines.join(";;");
}

QString DisplayText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

namespace {

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> QtDialogs::OpenFile(QWidget* parent, const std::vector<FileFilter>& filters) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(FilterString(filters));
    return RunFileDialog(dialog);
}

std::optional<std::string> QtDialogs::SaveFile(QWidget* parent, const std::vector<FileFilter>& filters,
                                               const std::string& defaultExtension) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(FilterString(filters));
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return RunFileDialog(dialog);
}

void QtDialogs::Information(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, title_, DisplayText(text));
}

bool QtDialogs::Question(QWidget* parent, const std::string& caption, const std::string& text) {
    return QMessageBox::question(parent, QString::fromStdString(caption), DisplayText(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtDialogs::Error(QWidget* parent, const std::string& text) {
    QMessageBox::critical(parent, title_, DisplayText(text));
}

bool QtDialogs::Execute(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void QtDialogs::OpenUrl(QWidget*, const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace kui
