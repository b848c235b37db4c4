#include "app/mainStart.h"
#include "platform/application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    Main();
    return app.exec();
}
