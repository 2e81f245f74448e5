// The baseline of the start-up benchmark: a bare window holding one engine view that loads the
// address given as its only argument.
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QWebEngineView view;
    view.resize(675, 480);
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return QApplication::exec();
}
