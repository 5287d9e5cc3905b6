#include "ui/dialogs/AboutDialog.h"

#include "ui/startup/ProgramIcon.h"
#include "ui/startup/StoredTexts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pictrove {

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于"));
    setModal(true);

    auto *icon = new QLabel;
    icon->setPixmap(programIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto *version = new QLabel(QStringLiteral("版本号：") + QStringLiteral(PICTROVE_VERSION));
    version->setObjectName(QStringLiteral("aboutVersion"));
    auto *line = new QLabel(aboutText());
    line->setObjectName(QStringLiteral("aboutText"));
    line->setWordWrap(true);

    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto *texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(line);
    auto *framed = new QHBoxLayout(frame);
    framed->addWidget(icon);
    framed->addLayout(texts, 1);

    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(340, 140);
}

}  // namespace pictrove
