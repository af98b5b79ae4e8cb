// web/glut.cpp -- the GLUT calls the program makes, on the page: one canvas,
// the four callbacks, and an event loop that sleeps until a key comes. Keys
// pressed while the program draws wait in the page's queue and are handed on
// in order once it is done; a redisplay asked for is drawn once the queue is
// empty, as freeglut does after a batch of events.
#include "glut_keys.h"
#include "page.h"
#include "webgl.h"

#include <GL/freeglut.h>

// The window and its callbacks. Only this file writes it.
struct glut_state {
    int width, height;
    bool redisplay; // asked for and not yet drawn
    void (*display)();
    void (*reshape)(int width, int height);
    void (*keyboard)(unsigned char key, int x, int y);
    void (*special)(int key, int x, int y);
};
static glut_state glut = {300, 300, false, nullptr, nullptr, nullptr, nullptr};

extern "C" {

void glutInit(int *, char **) {}
void glutInitDisplayMode(unsigned int) {} // the canvas is always RGB, double, with depth

void glutInitWindowSize(int width, int height)
{
    glut.width = width;
    glut.height = height;
}

void glutInitWindowPosition(int, int) {} // the page places the canvas

// The new context's viewport is the whole window, as with any GL context.
int glutCreateWindow(const char *title)
{
    page_open_canvas(glut.width, glut.height, title);
    glViewport(0, 0, glut.width, glut.height);
    return 1;
}

void glutDisplayFunc(void (*callback)())
{
    glut.display = callback;
}
void glutReshapeFunc(void (*callback)(int, int))
{
    glut.reshape = callback;
}
void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    glut.keyboard = callback;
}
void glutSpecialFunc(void (*callback)(int, int, int))
{
    glut.special = callback;
}
void glutPostRedisplay()
{
    glut.redisplay = true;
}

void glutSwapBuffers()
{
    gl_flush();
    page_present();
}

} // extern "C"

// The mouse is not followed: keys come with the position (0, 0).
static void deliver(const page_key &key)
{
    int value = 0;
    glut_key_kind kind = glut_key_codes(key.character, key.key, key.code, &value);
    if (kind == keyboard_key && glut.keyboard) glut.keyboard((unsigned char)value, 0, 0);
    if (kind == special_key && glut.special) glut.special(value, 0, 0);
}

// The canvas never changes size: one reshape, then the first frame.
extern "C" void glutMainLoop()
{
    if (glut.reshape) glut.reshape(glut.width, glut.height);
    glut.redisplay = true;
    for (;;) {
        page_key key;
        while (page_take_key(&key)) deliver(key);
        if (glut.redisplay && glut.display) {
            glut.redisplay = false;
            glut.display();
            continue;
        }
        page_wait_key();
    }
}
