#include "runtime/MessageBoxExceptionDisplay.h"

#include <QApplication>
#include <QMessageBox>

#include "runtime/ApplicationTitle.h"

namespace kiv {

void MessageBoxExceptionDisplay::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace kiv
