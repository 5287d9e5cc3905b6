#include "ui/login/QrLoginDialog.h"

#include "ui/login/QrCodeView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pictrove {

namespace {

// Long enough to read "登录成功：NAME" before the dialog closes.
constexpr int kCloseAfterLoginMs = 1500;

// Hands each event to the dialog on the GUI thread. A queued call to a dialog that
// is gone by then is dropped by Qt with the dialog's other posted events.
class QueuedQrEvents : public QrLoginEvents {
public:
    explicit QueuedQrEvents(QObject *dialog, std::function<void(const QrLoginEvent &)> show)
        : m_dialog(dialog)
        , m_show(std::move(show))
    {
    }
    void report(const QrLoginEvent &event) override
    {
        QMetaObject::invokeMethod(m_dialog, [show = m_show, event] { show(event); }, Qt::QueuedConnection);
    }

private:
    QObject *m_dialog;
    std::function<void(const QrLoginEvent &)> m_show;
};

}  // namespace

QrLoginDialog::QrLoginDialog(QWidget *parent, QrLoginRequest request)
    : QDialog(parent)
    , m_request(std::move(request))
{
    setWindowTitle(QStringLiteral("扫码登录微博"));
    m_code = new QrCodeView;
    m_state = new QLabel(QStringLiteral("正在获取二维码……"));
    m_state->setAlignment(Qt::AlignCenter);
    m_state->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    m_again = buttons->addButton(QStringLiteral("重新获取二维码"), QDialogButtonBox::ActionRole);
    m_again->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_again, &QPushButton::clicked, this, [this] {
        stop();
        start();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_code, 1);
    layout->addWidget(m_state);
    layout->addWidget(buttons);
    start();
}

QrLoginDialog::~QrLoginDialog()
{
    stop();
}

QString QrLoginDialog::stateText() const
{
    return m_state->text();
}

void QrLoginDialog::done(int result)
{
    // The poll ends with the dialog, whichever way it closes.
    m_stop = true;
    QDialog::done(result);
}

void QrLoginDialog::start()
{
    m_stop = false;
    m_again->setEnabled(false);
    QrLoginRequest request = m_request;
    request.stopRequested = [this] { return m_stop.load(); };
    // Events of an earlier run still queued when 重新获取二维码 started this one are
    // left out.
    const int run = ++m_run;
    m_worker = std::thread([this, request, run] {
        QueuedQrEvents events(this, [this, run](const QrLoginEvent &event) {
            if (run == m_run)
                present(event);
        });
        runQrLogin(request, events);
    });
}

void QrLoginDialog::stop()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}

void QrLoginDialog::present(const QrLoginEvent &event)
{
    if (const auto *code = std::get_if<event::QrCodeReady>(&event)) {
        m_code->setMatrix(code->matrix);
        m_codeText = code->encodedText;
    }
    const QString text = qrLoginText(event);
    m_state->setText(text);
    Q_EMIT stateChanged(text);
    const auto *finished = std::get_if<event::QrLoginFinished>(&event);
    if (!finished)
        return;
    if (finished->result == QrLoginResult::LoggedIn) {
        Q_EMIT loggedIn(finished->name);
        QTimer::singleShot(kCloseAfterLoginMs, this, &QDialog::accept);
        return;
    }
    if (finished->result != QrLoginResult::Stopped)
        m_again->setEnabled(true);
}

}  // namespace pictrove
