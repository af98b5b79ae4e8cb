/* scripts/picture-frames.c -- loaded into the real program by scripts/picture.py
 * (LD_PRELOAD) to see every frame it draws, also the ones a turn draws inside one
 * key callback, which no screenshot can catch. Just before each buffer swap it
 * reads the finished back buffer and writes it to $PICTURE_FRAMES/NNNNNN.ppm,
 * numbered from 1; then it swaps as the program asked. It changes nothing else. */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

void glutSwapBuffers(void)
{
    static void (*swap)(void);
    static unsigned count;
    static unsigned char *rgb;
    static size_t size;
    const char *dir = getenv("PICTURE_FRAMES");
    if (!swap) *(void **)&swap = dlsym(RTLD_NEXT, "glutSwapBuffers"); /* as POSIX says */
    GLint view[4], align;
    glGetIntegerv(GL_VIEWPORT, view); /* the program keeps it the window's size */
    size_t width = (size_t)view[2], height = (size_t)view[3];
    if (dir && width * height * 3 > size) {
        free(rgb);
        size = width * height * 3;
        rgb = malloc(size);
    }
    if (dir && rgb) {
        glGetIntegerv(GL_PACK_ALIGNMENT, &align);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, view[2], view[3], GL_RGB, GL_UNSIGNED_BYTE, rgb);
        glPixelStorei(GL_PACK_ALIGNMENT, align);
        char part[4096], name[4096];
        ++count;
        snprintf(part, sizeof part, "%s/part.ppm", dir);
        snprintf(name, sizeof name, "%s/%06u.ppm", dir, count);
        FILE *f = fopen(part, "wb");
        if (f) {
            fprintf(f, "P6\n%zu %zu\n255\n", width, height);
            for (size_t y = height; y-- > 0;) fwrite(rgb + y * width * 3, 1, width * 3, f);
            if (fclose(f) == 0) rename(part, name); /* whole files only */
        }
    }
    swap();
}
