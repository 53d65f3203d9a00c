// Interlinked Mode's link between the running copies of the program: every move a copy's
// engine makes is announced to every running copy of the same user on the same machine, this
// one included, and each copy receives the announcements as events of its user-interface
// thread, in the order its queue got them.
//
// A BroadcastChannel holds this copy's endpoint in the broadcast folder (broadcast_endpoint.h,
// broadcast_folder.h) and a QSocketNotifier on it. When the notifier fires, the channel reads
// the waiting datagrams, at most MAX_DATAGRAMS_PER_WAKE at a time so that a flood cannot hold
// up the user interface, and emits received(wParam, lParam) for each well-formed one; every
// other datagram only increases refusedCount(). broadcast() returns at once: a copy that cannot
// take the message misses it, and nothing is retried.
//
// When the folder cannot be used, open() returns false and writes one trace line with the
// reason; the copy then runs as before and its broadcasts go nowhere. If the channel's own
// socket file disappears while it is open (a cleaner of temporary files, the folder removed by
// hand), the next broadcast finds it missing and joins the folder again under a new name.
//
// Owned by the program's main object (or a test) and used only on the thread that created it,
// which must run a Qt event loop. The channel closes and removes its socket file when
// destroyed. A slot connected to received() may close or even delete the channel.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QtGlobal>
#include <memory>
#include <string>

#include "ui/interlink/broadcast_endpoint.h"

namespace wintarvo {

class BroadcastChannel : public QObject {
    Q_OBJECT

  public:
    static constexpr int MAX_DATAGRAMS_PER_WAKE = 64;

    // On this user's folder, defaultBroadcastFolder().
    explicit BroadcastChannel(QObject* parent = nullptr);
    // On the given folder; tests and the measuring tool use folders of their own.
    explicit BroadcastChannel(std::string folder, QObject* parent = nullptr);
    ~BroadcastChannel() override;

    // Joins the folder. False, with one trace line, when the channel cannot be used.
    bool open();
    void close();
    bool isOpen() const { return endpoint_.isOpen(); }
    BroadcastStatus status() const { return status_; }

    const std::string& folder() const { return folder_; }
    // This copy's socket file; empty while closed.
    const std::string& socketPath() const { return endpoint_.socketPath(); }
    // Datagrams read and thrown away since the channel was made.
    int refusedCount() const { return refused_; }

    // Announces the values to every copy, this one included; does nothing while closed.
    BroadcastReport broadcast(quint32 wParam, quint32 lParam);

  signals:
    void received(quint32 wParam, quint32 lParam);

  private:
    bool join();
    void watch();
    void readPending();
    void rejoin(const BroadcastMessage& message);

    std::string folder_;
    BroadcastEndpoint endpoint_;
    std::unique_ptr<QSocketNotifier> notifier_;
    BroadcastStatus status_ = BroadcastStatus::CLOSED;
    int refused_ = 0;
};

}  // namespace wintarvo
