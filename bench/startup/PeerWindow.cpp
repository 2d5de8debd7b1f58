// The peer of the start-up benchmark: the least a Qt Widgets program with a
// tabbed window does before its window is on screen.
#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog window;
    window.setWindowTitle("Peer");
    auto* tabs = new QTabWidget(&window);
    tabs->addTab(new QTableWidget(0, 8, tabs), "One");
    tabs->addTab(new QTableWidget(0, 4, tabs), "Two");
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(tabs);
    window.resize(860, 440);
    window.show();
    return app.exec();
}
