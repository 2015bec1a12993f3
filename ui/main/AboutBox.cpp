#include "AboutBox.h"

#include "Fonts.h"
#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#ifndef VORNIK_VERSION
#define VORNIK_VERSION "0.0.0"
#endif

namespace vornik::ui {

Tform2::Tform2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tform2"));
    setWindowTitle(QCoreApplication::translate("Vornik", "關於"));
    setFont(programFont(12));

    // The documentation ships beside the executable, as the key-map file does, so the links work
    // wherever the program is copied; an installed program has it in its documentation folder.
    const QDir exe(QCoreApplication::applicationDirPath());
    QString readmePath = exe.absoluteFilePath(QStringLiteral("README.md"));
    const QString installed = exe.absoluteFilePath(QStringLiteral("../share/doc/vornik/README.md"));
    if (!QFileInfo::exists(readmePath) && QFileInfo::exists(installed))
        readmePath = QDir::cleanPath(installed);
    const QString readme = QUrl::fromLocalFile(readmePath).toString();
    auto* product = new QLabel(QStringLiteral("<b style='font-size:16px'>Vornik</b>"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    auto* version = new QLabel(QCoreApplication::translate("Vornik", "版本 %1").arg(QStringLiteral(VORNIK_VERSION)), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* usage = new QLabel(QCoreApplication::translate("Vornik", "<a href='%1'>使用說明</a>").arg(readme), this);
    usage->setObjectName(QStringLiteral("UsageLink"));
    auto* profiles = new QLabel(QCoreApplication::translate("Vornik", "<a href='%1#profile-files'>設定檔格式</a>").arg(readme), this);
    profiles->setObjectName(QStringLiteral("ProfileLink"));
    for (QLabel* link : {usage, profiles}) {
        link->setTextFormat(Qt::RichText);
        link->setOpenExternalLinks(true);
    }
    auto* ok = new QPushButton(standardButtonText(QDialogButtonBox::Ok), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{product, version, usage, profiles})
        layout->addWidget(w, 0, Qt::AlignHCenter);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(260, 170);
}

} // namespace vornik::ui
