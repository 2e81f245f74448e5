// The baseline of the start-up benchmark: a bare window holding one engine view for each address
// given, two to a row, each loading its address.
#include <QApplication>
#include <QGridLayout>
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QWidget window;
    auto* grid = new QGridLayout(&window);
    for (int i = 1; i < argc; ++i) {
        auto* view = new QWebEngineView(&window);
        grid->addWidget(view, (i - 1) / 2, (i - 1) % 2);
        view->load(QUrl(QString::fromLocal8Bit(argv[i])));
    }
    window.resize(675, 480);
    window.show();
    return QApplication::exec();
}
