#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QRadioButton;

// "Play with Others": the player's name, and whether to host a table or join the one at an
// address. Its choice is the three launch arguments that start such a game; the name and
// the address are remembered in the settings file for next time.
class Tplaywithothers : public QDialog {
    Q_OBJECT
public:
    static constexpr char nameKey[] = "Othersname";
    static constexpr char addressKey[] = "Othersaddress";

    explicit Tplaywithothers(QString iniPath, QWidget* parent = nullptr);

    // Name, address and "true" to host or "join" to join.
    QStringList launchArguments() const;

public slots:
    // Shows the dialog over its parent with the remembered name and address.
    void showDialog();

signals:
    void playRequested(const QStringList& launchArguments);

protected:
    void accept() override;

private:
    void updatePlayButton();

    QString m_iniPath;
    QLineEdit* m_name;
    QRadioButton* m_host;
    QRadioButton* m_join;
    QLineEdit* m_address;
    QPushButton* m_play;
};
