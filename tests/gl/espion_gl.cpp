// Definitions in the executable take precedence over the client library's, so the library
// zarvel_gl linked into gl_tests calls these. They do what the client library does without a
// current context, which is the only state gl_tests runs in.
#include "espion_gl.h"

#include <GL/gl.h>

namespace
{

int appels_gl = 0;

} // namespace

int TestGL::AppelsGL()
{
    return appels_gl;
}

GLubyte const* GLAPIENTRY glGetString(GLenum)
{
    ++appels_gl;
    return nullptr;
}

void GLAPIENTRY glGenTextures(GLsizei, GLuint*)
{
    ++appels_gl;
}

void GLAPIENTRY glDeleteTextures(GLsizei, GLuint const*)
{
    ++appels_gl;
}
