// app/main.cpp -- program entry: the console menu, then the window and the
// event loop, which never returns.
#include "app.h"

#include <GL/freeglut.h>

int main(int argc, char **argv)
{
    print_banner();
    run_menu();
    open_window(&argc, argv);
    glutMainLoop();
    return 0;
}
