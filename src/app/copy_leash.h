#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace tarn {

// A spawned copy browses as its main instance's user and counts none of their time, so it lives
// no longer than the main instance holds that user. The main instance listens under a name of
// its own and gives it to each copy it starts; a copy holds a connection to it and ends when the
// connection does: when the main instance signs its user off, closes, or is killed.
class CopyLeash : public QObject {
  public:
    explicit CopyLeash(QObject* parent = nullptr);
    ~CopyLeash() override;

    // Main instance: the name its copies hold on to, listening from the first call on; empty
    // when nothing can listen.
    QString name();
    // Main instance: every copy's connection ends, and with it the copy.
    void releaseCopies();

    // Copy: holds on to the main instance listening as `name`. False when it can not be reached;
    // otherwise `gone` runs once, when the connection ends.
    bool holdOn(const QString& name, std::function<void()> gone);

  private:
    void accept();

    QLocalServer* server_{};
    QList<QPointer<QLocalSocket>> copies_;
    QLocalSocket* hold_{};
};

}  // namespace tarn
