#include <QApplication>

#include "ui/Workbench.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return vornal::ui::RunWorkbench(app);
}
