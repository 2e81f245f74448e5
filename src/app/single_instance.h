#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace tarn {

// One main instance per person: the first start holds a lock in the person's settings folder
// and listens for later starts, which ask it to come to the front and then end. Two windows
// would count one daily allowance twice.
class SingleInstance : public QObject {
  public:
    // `raise` runs in the first instance whenever a later start asks for it.
    explicit SingleInstance(std::function<void()> raise);
    ~SingleInstance() override;

    enum class Claim {
        First,    // this process is the first main instance
        Running,  // another one runs; it has been asked to come to the front
        Failed,   // no lock can be made: failure() says where and why
    };
    Claim claim();
    const std::string& failure() const { return failure_; }

  private:
    void answer();

    std::function<void()> raise_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_{};
    QString name_;
    std::string failure_;
};

}  // namespace tarn
