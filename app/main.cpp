#include "app/CHelloWorldApp.h"

int main(int argc, char* argv[])
{
    CHelloWorldApp app(argc, argv);
    return app.Run();
}
