#include "app/mainStart.h"
#include "core/raceIndexes.h"
#include "platform/application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv);
    loadQtTranslations();
    Main();
    const int code = app.exec();
    stopRaceIndexBuild();
    return code;
}
