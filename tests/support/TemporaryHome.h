#pragma once
// Points HOME at a fresh temporary folder, with XDG_DATA_HOME and XDG_CONFIG_HOME
// unset, for as long as the object lives; the three variables are restored after.
// The per-user data folder and the pictures folder then lie inside it, so a test
// knows where they are and never touches the user's own.

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace pictrove {

class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString path() const { return m_home.path(); }
    // Where the per-user data folder must be: HOME/.local/share/Pictrove/.
    QString dataFolder() const { return path() + QStringLiteral("/.local/share/Pictrove/"); }
    QString picturesFolder() const { return path() + QStringLiteral("/Pictures"); }
    // The same settings for a child process.
    QProcessEnvironment environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

private:
    struct Saved {
        const char *name;
        bool set;
        QByteArray value;
    };
    QTemporaryDir m_home;
    Saved m_saved[3];
};

}  // namespace pictrove
