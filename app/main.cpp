#include "app/mainStart.h"
#include "platform/application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    loadQtTranslations();
    Main();
    return app.exec();
}
