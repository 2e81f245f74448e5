// Pages get no network path the request check can not judge: no WebRTC peer connection (its
// STUN, TURN and peer traffic never passes the check), no WebTransport, no QUIC, and none of the
// interfaces that reach sockets or devices directly, from any frame or worker.
#include <gmock/gmock.h>

#include <QNetworkDatagram>
#include <QTcpServer>
#include <QUdpSocket>

#include "browser_fixture.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

// Stands where a page's STUN and TURN servers would be, and notes whatever reaches it.
class Listener {
  public:
    explicit Listener(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost)) {
        udp_.bind(address, 0);
        tcp_.listen(address, 0);
        QObject::connect(&udp_, &QUdpSocket::readyRead, [this] {
            while (udp_.hasPendingDatagrams()) {
                udp_.receiveDatagram();
                ++datagrams;
            }
        });
        QObject::connect(&tcp_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = tcp_.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { bytes += socket->readAll().size(); });
            }
        });
    }
    quint16 udpPort() const { return udp_.localPort(); }
    quint16 tcpPort() const { return tcp_.serverPort(); }

    int datagrams = 0;
    int connections = 0;
    qsizetype bytes = 0;  // what the connections sent

  private:
    QUdpSocket udp_;
    QTcpServer tcp_;
};

class ConnectionsTest : public BrowserTest {
  protected:
    // A script that tries a peer connection and a WebTransport session from the window `w`
    // towards the listener, and notes in `seen` what that window offered.
    QString attempt() const {
        return QStringLiteral(
                   "function attempt(w, where) {"
                   "  seen.push(where + ' ' + typeof w.RTCPeerConnection + ' ' +"
                   "            typeof w.webkitRTCPeerConnection + ' ' + typeof w.WebTransport);"
                   "  try {"
                   "    const pc = new w.RTCPeerConnection({iceServers: ["
                   "      {urls: 'stun:127.0.0.1:%1'},"
                   "      {urls: ['turn:127.0.0.1:%2?transport=tcp', 'turn:127.0.0.1:%1'],"
                   "       username: 'u', credential: 'p'}]});"
                   "    pc.createDataChannel('x');"
                   "    pc.createOffer().then(o => pc.setLocalDescription(o));"
                   "  } catch (e) {}"
                   "  try { new w.WebTransport('https://127.0.0.1:%1/'); } catch (e) {}"
                   "}")
            .arg(listener.udpPort())
            .arg(listener.tcpPort());
    }

    Listener listener;
};

TEST_F(ConnectionsTest, NoFrameOrWorkerGetsAPeerConnectionOrWebTransport) {
    server.addPage(QStringLiteral("/child"),
                   "<html><title>Child</title><body><script>"
                   "parent.attempt(window, 'own script of a loaded frame');"
                   "</script></body></html>");
    server.addPage(QStringLiteral("/worker.js"),
                   "postMessage('worker ' + typeof RTCPeerConnection + ' ' + typeof WebTransport);"
                   "try { new WebTransport('https://127.0.0.1:1/'); } catch (e) {}",
                   "text/javascript");
    server.addPage(
        QStringLiteral("/page"),
        page(QStringLiteral("Page"),
             QStringLiteral(
                 "<script>const seen = [];%1"
                 "attempt(window, 'page');"
                 // A new frame's window, asked for in every way, at once.
                 "const a = document.createElement('iframe'); document.body.appendChild(a);"
                 "attempt(a.contentWindow, 'contentWindow');"
                 "attempt(window[0], 'window[0]');"
                 "attempt(a.contentDocument.defaultView, 'contentDocument');"
                 "const b = document.createElement('iframe'); b.src = '/nowhere';"
                 "document.body.append(b);"
                 "attempt(frames[1], 'frame with an address, before it loads');"
                 // A script inserted with its frame, and one written with it.
                 "const c = document.createElement('iframe');"
                 "const s = document.createElement('script');"
                 "s.textContent = \"attempt(window[2], 'script inserted with its frame')\";"
                 "const f = document.createDocumentFragment(); f.append(c, s);"
                 "document.body.append(f);"
                 "document.write('<iframe></iframe><script>attempt(window[3], "
                 "\"script written with its frame\")<\\/script>');"
                 // A frame made inside a frame.
                 "const d = a.contentDocument.createElement('iframe');"
                 "a.contentDocument.body.appendChild(d);"
                 "attempt(a.contentWindow[0], 'frame of a frame');"
                 "const e = document.createElement('iframe'); e.src = '/child';"
                 "document.body.append(e);"
                 "const g = document.createElement('iframe');"
                 "g.srcdoc = '<script>parent.attempt(window, \"srcdoc\")<\\/script>';"
                 "document.body.append(g);"
                 "new Worker('/worker.js').onmessage = m => seen.push(m.data);"
                 "setTimeout(() => { document.title = 'Tried ' + seen.length; }, 1500);"
                 "</script>")
                 .arg(attempt())));
    ASSERT_TRUE(open(QStringLiteral("/page")));
    ASSERT_TRUE(waitUntil([&] { return browser->title().startsWith(QStringLiteral("Tried")); }));
    QVariant seen;
    bool done = false;
    browser->page()->runJavaScript(QStringLiteral("seen"), [&](const QVariant& value) {
        seen = value;
        done = true;
    });
    ASSERT_TRUE(waitUntil([&] { return done; }));
    std::vector<std::string> reports;
    for (const QString& report : seen.toStringList())
        reports.push_back(report.toStdString());
    EXPECT_THAT(reports, ::testing::UnorderedElementsAre(
                             "page undefined undefined undefined",
                             "contentWindow undefined undefined undefined",
                             "window[0] undefined undefined undefined",
                             "contentDocument undefined undefined undefined",
                             "frame with an address, before it loads undefined undefined undefined",
                             "script inserted with its frame undefined undefined undefined",
                             "script written with its frame undefined undefined undefined",
                             "frame of a frame undefined undefined undefined",
                             "own script of a loaded frame undefined undefined undefined",
                             "srcdoc undefined undefined undefined", "worker undefined undefined"));
    QTest::qWait(1500);
    EXPECT_EQ(listener.datagrams, 0);
    EXPECT_EQ(listener.connections, 0);
}

TEST_F(ConnectionsTest, InterfacesToSocketsAndDevicesAreNotThereAndOrdinaryPagesStillWork) {
    server.addPage(QStringLiteral("/page"),
                   page(QStringLiteral("Page"),
                        QStringLiteral("<iframe srcdoc=\"<p id=x>inside</p>\"></iframe><script>"
                                       "document.title = [typeof navigator.serial,"
                                       " typeof navigator.bluetooth, typeof navigator.hid,"
                                       " typeof navigator.share, typeof PushManager,"
                                       " typeof TCPSocket, typeof showOpenFilePicker].join(' ');"
                                       "</script>")));
    ASSERT_TRUE(open(QStringLiteral("/page")));
    EXPECT_TRUE(waitUntil([&] {
        return browser->title() ==
               QStringLiteral(
                   "undefined undefined undefined undefined undefined undefined "
                   "undefined");
    })) << browser->title().toStdString();
    // A page still builds and reads its own frames.
    runScript(
        QStringLiteral("const f = document.createElement('iframe');"
                       "document.body.appendChild(f);"
                       "f.contentDocument.body.innerHTML = '<b>made</b>';"
                       "document.title = f.contentDocument.body.textContent + ' ' +"
                       " window.frames.length;"));
    EXPECT_TRUE(waitUntil([&] { return browser->title() == QStringLiteral("made 2"); }))
        << browser->title().toStdString();
}

// The page guard can not see every frame's first window in time: a frame with an address
// inserted together with a script that uses it at once keeps its peer connection. Its relay
// connections still go through the gate, which refuses the excluded host and lets no STUN
// message reach any other.
TEST_F(ConnectionsTest, APeerConnectionThePageGuardMissesStillReachesNoExcludedRelay) {
    Listener excluded(QHostAddress(QStringLiteral("127.0.0.2")));
    ASSERT_NE(excluded.tcpPort(), 0) << "127.0.0.2 can not be listened on";
    Listener allowed(QHostAddress(QStringLiteral("127.0.0.3")));
    GroupLists lists;
    lists.ExclusionList = {"127.0.0.2"};
    policy->replace(groupPolicy(lists, true));
    server.addPage(
        QStringLiteral("/page"),
        page(QStringLiteral("Page"),
             QStringLiteral(
                 "<script>"
                 "function relay(w) {"
                 "  const pc = new w.RTCPeerConnection({iceServers: [{urls: ["
                 "    'turn:127.0.0.2:%1?transport=tcp', 'turns:127.0.0.2:%1?transport=tcp',"
                 "    'turn:127.0.0.3:%2?transport=tcp'],"
                 "    username: 'u', credential: 'p'}]});"
                 "  pc.createDataChannel('x');"
                 "  pc.createOffer().then(o => pc.setLocalDescription(o));"
                 "  document.title = 'Got ' + typeof w.RTCPeerConnection;"
                 "}"
                 "const frame = document.createElement('iframe'); frame.src = '/a';"
                 "const script = document.createElement('script');"
                 "script.textContent = 'try { relay(window[0]); } catch (e) {"
                 " document.title = \"Got none\"; }';"
                 "const both = document.createDocumentFragment(); both.append(frame, script);"
                 "document.body.append(both);"
                 "</script>")
                 .arg(excluded.tcpPort())
                 .arg(allowed.tcpPort())));
    ASSERT_TRUE(open(QStringLiteral("/page")));
    ASSERT_TRUE(waitUntil([&] { return browser->title().startsWith(QStringLiteral("Got")); }));
    QTest::qWait(3000);
    EXPECT_EQ(excluded.connections, 0) << browser->title().toStdString();
    EXPECT_EQ(excluded.datagrams, 0);
    // A relay the lists allow is reached, but hears nothing of the peer connection.
    EXPECT_EQ(allowed.bytes, 0);
    EXPECT_EQ(allowed.datagrams, 0);
}

}  // namespace
}  // namespace tarn::test
