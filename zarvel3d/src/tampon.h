#pragma once
// A growable array of plain records on the library's allocator, without initialisation of the
// elements: the large work arrays of the readers are written once, and zero-filling them first
// would double the memory traffic.

#include "zarvel3d/zarvel3d.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace Zarvel3D
{
namespace interne
{

template <typename T> class Tampon
{
    static_assert(std::is_trivially_copyable<T>::value, "Tampon holds plain records only");

public:
    Tampon() = default;
    explicit Tampon(std::size_t n) { Redimensionne(n); }
    Tampon(const Tampon&) = delete;
    Tampon& operator=(const Tampon&) = delete;
    Tampon(Tampon&& autre) noexcept : donnees(autre.donnees), taille(autre.taille), capacite(autre.capacite)
    {
        autre.donnees = nullptr;
        autre.taille = autre.capacite = 0;
    }
    Tampon& operator=(Tampon&& autre) noexcept
    {
        if (this != &autre)
        {
            LiberationMemoire(donnees);
            donnees = autre.donnees;
            taille = autre.taille;
            capacite = autre.capacite;
            autre.donnees = nullptr;
            autre.taille = autre.capacite = 0;
        }
        return *this;
    }
    ~Tampon() { LiberationMemoire(donnees); }

    /// Reserves room for `n` elements (keeps the contents); throws std::bad_alloc.
    void Reserve(std::size_t n)
    {
        if (n <= capacite)
        {
            return;
        }
        if (n > static_cast<std::size_t>(-1) / (2 * sizeof(T)))
        {
            throw std::bad_alloc();
        }
        T* nouveau = static_cast<T*>(AllocationMemoire(n * sizeof(T)));
        if (nouveau == nullptr)
        {
            throw std::bad_alloc();
        }
        if (taille > 0)
        {
            std::memcpy(static_cast<void*>(nouveau), donnees, taille * sizeof(T));
        }
        LiberationMemoire(donnees);
        donnees = nouveau;
        capacite = n;
    }
    /// Sets the size; new elements are left uninitialised.
    void Redimensionne(std::size_t n)
    {
        Reserve(n);
        taille = n;
    }
    /// Sets the size and fills every element with `valeur`.
    void Remplit(std::size_t n, const T& valeur)
    {
        Redimensionne(n);
        for (std::size_t i = 0; i < n; ++i)
        {
            donnees[i] = valeur;
        }
    }
    void Ajoute(const T& valeur)
    {
        if (taille == capacite)
        {
            Reserve(capacite < 16 ? 16 : capacite * 2);
        }
        donnees[taille++] = valeur;
    }
    void Vide() { taille = 0; }

    T* Donnees() { return donnees; }
    const T* Donnees() const { return donnees; }
    std::size_t Taille() const { return taille; }
    /// Elements that fit without a new allocation.
    std::size_t Capacite() const { return capacite; }
    T& operator[](std::size_t i) { return donnees[i]; }
    const T& operator[](std::size_t i) const { return donnees[i]; }

private:
    T* donnees = nullptr;
    std::size_t taille = 0;
    std::size_t capacite = 0;
};

} // namespace interne
} // namespace Zarvel3D
