// app/main.cpp -- program entry: the console menu, then the window and the
// event loop, which never returns.
#include "console.h"
#include "window.h"

#include <GL/freeglut.h>

int main(int argc, char **argv)
{
    print_banner();
    run_menu();
    open_window(&argc, argv);
    glutMainLoop();
    return 0;
}
