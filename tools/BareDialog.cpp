// The yardstick of the start-up measurement: a bare Qt dialog with one label.
//   numira-bare-dialog
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("bare"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("ぬみら"), &dialog));
  dialog.show();
  return dialog.exec();
}
