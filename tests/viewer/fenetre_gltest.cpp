// The window-system seam with a real display: a context asked for as a core profile, which has no
// fixed-function pipeline, is replaced by one that has it, since the engine and the heads-up
// display draw with both. Run under xvfb-run -a.
#include "zarvel_glut.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

bool PipelineFixe()
{
    while (glGetError() != GL_NO_ERROR)
    {
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return glGetError() == GL_NO_ERROR;
}

} // namespace

TEST(CreeFenetreGL, ProfilCoeurRemplaceParCompatibilite)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run -a";
    int argc = 1;
    char nom[] = "viewer_gltests";
    char* argv[] = {nom, nullptr};
    // A core profile of a version that has one: no matrix stacks, no immediate mode.
    glutInitContextVersion(3, 2);
    glutInitContextProfile(GLUT_CORE_PROFILE);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    const int fenetre = CreeFenetreGL("viewer_gltests");
    EXPECT_GT(fenetre, 0);
    EXPECT_EQ(glutGetWindow(), fenetre);
    EXPECT_TRUE(PipelineFixe());
    GLint profil = 0;
    glGetIntegerv(0x9126, &profil); // GL_CONTEXT_PROFILE_MASK
    EXPECT_EQ(profil & 1, 0) << "still a core profile";
}
