#include "app/application.h"

int main(int argc, char *argv[])
{
    nk::Application app(argc, argv);
    return app.run();
}
