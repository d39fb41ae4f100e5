// PNG writing of the viewer's captures (libpng): written beside the target, then renamed over it,
// so a failure leaves neither a partial file nor a damaged old one.
#include "zarvel_glut.h"

#include <png.h>

#include <sys/stat.h>

#include <cstdio>
#include <unistd.h>

namespace
{

// libpng reports errors by longjmp; everything it allocated is released by the caller's
// png_destroy_write_struct.
bool EcritFlux(std::FILE* fichier, int largeur, int hauteur, std::vector<unsigned char> const& rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, fichier);
    png_set_IHDR(png, info, static_cast<png_uint_32>(largeur), static_cast<png_uint_32>(hauteur), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The fastest compression: a capture is written once, and most of it is flat background,
    // which the row filters shrink well enough on their own.
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    const std::size_t pas = static_cast<std::size_t>(largeur) * 3;
    for (int y = 0; y < hauteur; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<std::size_t>(y) * pas));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool EcritPNG(std::string const& chemin, int largeur, int hauteur, std::vector<unsigned char> const& rgb)
{
    if (chemin.empty() || largeur <= 0 || hauteur <= 0) return false;
    if (rgb.size() < static_cast<std::size_t>(largeur) * hauteur * 3) return false;
    // Only a regular file is replaced: the rename would swap a device, a pipe or a directory in
    // the target's place for a plain file.
    struct stat cible;
    if (stat(chemin.c_str(), &cible) == 0 && !S_ISREG(cible.st_mode)) return false;
    const std::string temporaire = chemin + ".tmp" + std::to_string(getpid());
    std::FILE* fichier = std::fopen(temporaire.c_str(), "wb");
    if (!fichier) return false;
    bool ecrit = EcritFlux(fichier, largeur, hauteur, rgb);
    // A full disk shows at the flush or the close.
    ecrit = (std::fflush(fichier) == 0) && ecrit;
    ecrit = (std::fclose(fichier) == 0) && ecrit;
    if (ecrit && std::rename(temporaire.c_str(), chemin.c_str()) == 0) return true;
    std::remove(temporaire.c_str());
    return false;
}
