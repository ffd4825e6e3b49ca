// Entry point: everything is built by the application's composition root.
#include "application.h"

int main(int argc, char **argv)
{
    return Application::run(argc, argv);
}
