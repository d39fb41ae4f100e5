#pragma once
// Public interface of the conversion library libZarvel3D.so.1.
//
// Index
//   [SECTION] Export macro, allocation base and memory
//   [SECTION] Small records: Pvec3, Point2D, AttributsLigne, PCouleur3D
//   [SECTION] Conversion parameters and modes
//   [SECTION] Language and diagnostics
//   [SECTION] RAL colour table
//   [SECTION] Scene elements and the scene PScene3D
//   [SECTION] Conversion engine Zarvel and the automatic factory ZarvelAuto
//
// Nothing in this header throws, and no third-party type appears in it. Every
// operation that can fail returns false (or a non-zero status, or an empty
// result) and leaves a readable diagnostic text.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#define ZARVEL3D_EXPORT __attribute__((visibility("default")))

namespace Zarvel3D
{

// [SECTION] Export macro, allocation base and memory ---------------------------------------------

/// Allocates `octets` bytes from the library's allocator. Blocks of 2 MiB and more are aligned
/// on 2 MiB and marked for transparent huge pages. Returns null when the memory is exhausted.
ZARVEL3D_EXPORT void* AllocationMemoire(std::size_t octets) noexcept;
/// Releases a block of AllocationMemoire (null is accepted).
ZARVEL3D_EXPORT void LiberationMemoire(void* bloc) noexcept;

/// Empty, non-virtual base of the library's objects and records. It adds no byte to a record's
/// layout; it only routes `new` and `delete` through the library's allocator, so that an object
/// created by one module may be released by another.
class ZARVEL3D_EXPORT PBase
{
public:
    PBase() = default;
    ~PBase() = default;
    PBase(const PBase&) = default;
    PBase& operator=(const PBase&) = default;

    /// Library allocator; throws std::bad_alloc like the global operator when memory is exhausted.
    static void* operator new(std::size_t octets);
    static void* operator new[](std::size_t octets);
    /// Non-throwing forms: null when memory is exhausted.
    static void* operator new(std::size_t octets, const std::nothrow_t&) noexcept;
    static void* operator new[](std::size_t octets, const std::nothrow_t&) noexcept;
    /// Releases memory of the operators above (null is accepted).
    static void operator delete(void* bloc) noexcept;
    static void operator delete[](void* bloc) noexcept;
    static void operator delete(void* bloc, const std::nothrow_t&) noexcept;
    static void operator delete[](void* bloc, const std::nothrow_t&) noexcept;
};

/// Makes blocks of memory resident ahead of their first use, on a thread of its own. The kernel
/// clears each page at its first touch, which costs about as much as the work that fills a large
/// array; populated from another thread, that clearing runs on a second processor while the
/// caller computes. Pages are populated without being written, so the caller may write the
/// blocks meanwhile; give the blocks in the order the caller writes them. The blocks must stay
/// allocated until Attend returns (the destructor waits).
class ZARVEL3D_EXPORT PreparationPages
{
public:
    PreparationPages() = default;
    PreparationPages(const PreparationPages&) = delete;
    PreparationPages& operator=(const PreparationPages&) = delete;
    PreparationPages(PreparationPages&&) = delete;
    PreparationPages& operator=(PreparationPages&&) = delete;
    ~PreparationPages() { Attend(); }

    /// Starts populating `blocs` (start, bytes), in order, after waiting for an earlier start.
    /// Does nothing when the blocks are small, when no thread can start, or, on the thread, once
    /// the kernel refuses to populate.
    void Lance(std::vector<std::pair<const void*, std::size_t>> blocs);
    /// Waits until the thread is done.
    void Attend();

private:
    std::thread fil;
};

/// Standard allocator over AllocationMemoire. Default construction of elements is
/// default-initialisation (no zero fill for plain records without initialisers).
template <typename T> struct PAllocateur
{
    using value_type = T;
    PAllocateur() noexcept = default;
    template <typename U> PAllocateur(const PAllocateur<U>&) noexcept {}
    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
        {
            throw std::bad_alloc();
        }
        void* bloc = AllocationMemoire(n * sizeof(T));
        if (bloc == nullptr)
        {
            throw std::bad_alloc();
        }
        return static_cast<T*>(bloc);
    }
    void deallocate(T* bloc, std::size_t) noexcept { LiberationMemoire(bloc); }
    template <typename U> void construct(U* p) noexcept(std::is_nothrow_default_constructible<U>::value)
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... A> void construct(U* p, A&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
    }
    template <typename U> bool operator==(const PAllocateur<U>&) const noexcept { return true; }
    template <typename U> bool operator!=(const PAllocateur<U>&) const noexcept { return false; }
};

/// A scene list: one contiguous array whose size is the element count.
template <typename T> using PListe = std::vector<T, PAllocateur<T>>;

// [SECTION] Small records -------------------------------------------------------------------------

/// A 3D point or vector (double precision) with one integer. For a triangle corner the integer is
/// the index of the corner's vertex in the model's vertex list; for a segment end it is the index
/// of that vertex or -1; elsewhere it is 0 unless stated.
struct ZARVEL3D_EXPORT Pvec3 : public PBase
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    int id = 0;

    Pvec3() = default;
    Pvec3(double vx, double vy, double vz, int vid = 0) : x(vx), y(vy), z(vz), id(vid) {}
    Pvec3(const Pvec3&) = default;
    /// Copies the coordinates and the integer.
    Pvec3& operator=(const Pvec3&) = default;
};

/// A point of a plan view, in drawing units: x horizontal, y vertical in the view.
struct ZARVEL3D_EXPORT Point2D : public PBase
{
    double x = 0.0;
    double y = 0.0;

    Point2D() = default;
    Point2D(double vx, double vy) : x(vx), y(vy) {}
};

/// Attributes of a drawn line or curve: colour bytes, alpha, then two flags.
struct ZARVEL3D_EXPORT AttributsLigne : public PBase
{
    std::uint8_t rouge = 0;   ///< byte 0
    std::uint8_t vert = 0;    ///< byte 1
    std::uint8_t bleu = 0;    ///< byte 2
    std::uint8_t alpha = 255; ///< byte 3: 255 opaque
    /// Byte 4: 1 for a visible edge (continuous line of the plan), 0 for a hidden edge (dashed line):
    /// the reconstruction uses both, the projection lists keep the distinction by colour.
    std::uint8_t visible = 1;
    /// Byte 5: 1 for a construction line (axis, hatching, dimension): it is kept as a projection
    /// but never used as geometry. 0 for ordinary geometry.
    std::uint8_t construction = 0;
};

/// An element's own colour: three colour bytes and a flag telling whether it is set.
struct PCouleur3D
{
    std::uint8_t rouge = 0;
    std::uint8_t vert = 0;
    std::uint8_t bleu = 0;
    std::uint8_t definie = 0; ///< 0: no colour of its own (the viewer's colour applies)
};

static_assert(sizeof(Pvec3) == 32, "Pvec3 holds three doubles and an int");
static_assert(offsetof(Pvec3, id) == 24, "Pvec3 layout");
static_assert(sizeof(Point2D) == 16, "Point2D holds two doubles");
static_assert(sizeof(AttributsLigne) == 6, "AttributsLigne holds six bytes");
static_assert(offsetof(AttributsLigne, visible) == 4, "AttributsLigne flag bytes");

// [SECTION] Conversion parameters and modes -------------------------------------------------------

/// Conversion modes of an engine.
enum modezarvel_t : int
{
    ZARVEL_TROIS_VUES = 1, ///< solid reconstructed from the front, side and top views
    ZARVEL_EXTRUSION = 2,  ///< profile of one view extruded along the view's normal
    ZARVEL_REVOLUTION = 3  ///< profile of one view revolved about an axis
};

/// Plan views. A line belongs to exactly one view.
enum vuezarvel_t : int
{
    ZARVEL_VUE_FACE = 2,  ///< front view: width horizontal, height vertical
    ZARVEL_VUE_COTE = 4,  ///< side view: depth horizontal, height vertical
    ZARVEL_VUE_DESSUS = 8 ///< top view: width horizontal, depth vertical
};

/// Conversion parameters, a plain record of 48 bytes with a fixed layout (offsets checked below).
/// The default values are those of the built-in test drawings.
struct ParametresZarvel
{
    /// Offset 0. Geometric tolerance in drawing units: points closer than this are one point (line
    /// ends, matching of coordinates between views, sewing of faces).
    double tolerance = 0.01;
    /// Offset 8. Minimum number of segments of any curved edge of the generated mesh.
    std::int32_t divisions_min = 4;
    /// Offset 12. Number of segments of a full turn of a curved edge (circle, ellipse, revolution)
    /// in the generated mesh; an arc gets its share, at least divisions_min.
    std::int32_t divisions_tour = 16;
    /// Offset 16. Height of the stroke texts that label the views in the scene, in percent of the
    /// model's largest extent; 0: no labels.
    std::int16_t taille_textes = 14;
    /// Offset 18. Views to leave out of the conversion: a sum of vuezarvel_t values; 0 uses all.
    std::int16_t vues_ignorees = 0;
    /// Offset 20. Dihedral angle in degrees above which an edge between two faces is a sharp edge:
    /// sharp edges bound the scene's surfaces and go to its segment list.
    std::int32_t angle_aretes = 35;
    /// Offset 24. Worker threads for meshing; 0: one per processor, 1: no parallel work.
    std::int32_t taches = 0;
    /// Offset 28. True: the plan's views are not copied into the scene's projection list.
    bool sans_projections = false;
    /// Offset 29. True: unfolded patterns of the solid's planar faces go into the scene.
    bool developpes = false;
    /// Offset 30. Passes of shape healing applied to the generated solid (0: none).
    std::int16_t passes_correction = 3;
    /// Offset 32. Largest number of candidate faces the three-view reconstruction examines; beyond
    /// it the generation fails with a diagnostic instead of running for ever.
    std::int32_t elements_max = 256;
    /// Offset 36. Unfolded patterns are drawn at the scale 1 : echelle_developpes (0 counts as 1).
    std::int16_t echelle_developpes = 1;
    /// Offset 38. True: the caller wants the generated mesh only, never the solid (no STEP export
    /// of the scene, ContientSolide false). An extrusion of lines and circular arcs is then meshed
    /// by the library itself, without loading the modelling kernel; the mesh has the same faces,
    /// edges and triangle counts.
    bool maillage_seul = false;
    /// Offset 40. Colour of the model as a RAL number (0: none).
    std::uint32_t couleur_ral = 9010;
    /// Offset 44. Largest chord deviation of the generated mesh from curved edges and faces, in
    /// drawing units; 0 (or a value that is not positive and finite): 0.015 % of the diagonal of
    /// the model's box, finer where the curved faces need it to keep the mesh within 0.1 % of the
    /// solid's volume. The divisions above stay a lower bound, and no segment turns by more than
    /// 10 degrees.
    float fleche = 0.0f;
};

static_assert(offsetof(ParametresZarvel, tolerance) == 0, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, divisions_min) == 8, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, divisions_tour) == 12, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, taille_textes) == 16, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, vues_ignorees) == 18, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, angle_aretes) == 20, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, taches) == 24, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, sans_projections) == 28, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, developpes) == 29, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, passes_correction) == 30, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, elements_max) == 32, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, echelle_developpes) == 36, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, maillage_seul) == 38, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, couleur_ral) == 40, "ParametresZarvel layout");
static_assert(offsetof(ParametresZarvel, fleche) == 44, "ParametresZarvel layout");
static_assert(sizeof(ParametresZarvel) == 48, "ParametresZarvel size");
static_assert(std::is_standard_layout<ParametresZarvel>::value, "ParametresZarvel is a plain record");

// [SECTION] Language and diagnostics ---------------------------------------------------------------

/// Language of the library's diagnostic texts (process-wide).
class ZARVEL3D_EXPORT i18n
{
public:
    enum lang_z3d_t : int
    {
        LANG_FR = 0, ///< French (default)
        LANG_EN = 1  ///< English
    };
    /// Selects the language; an unknown value selects French.
    static void defLangue(lang_z3d_t langue);
    /// The language in force.
    static lang_z3d_t Langue();
};

/// The last diagnostic left by a failing library call on the calling thread, in the language in
/// force when it failed; empty text when none failed yet. Valid until the next library call.
ZARVEL3D_EXPORT const char* Diagnostic();

/// Progress of the library's long work (STL import, plan loading, generation, export), written by
/// the library while it works and read by another thread, for a progress display. Units are the
/// operation's own (bytes or triangles); only their ratio matters.
struct PProgression
{
    std::atomic<unsigned long long> fait{0};  ///< units done so far
    std::atomic<unsigned long long> total{0}; ///< units in all; 0 while unknown
    std::atomic<unsigned int> operations{0};  ///< operations started so far (a new one restarts the count)
};

/// The record that the library's long operations update from now on, process-wide; null: none.
/// The record must outlive the operations that use it.
ZARVEL3D_EXPORT void defProgression(PProgression* progression);

// [SECTION] RAL colour table ----------------------------------------------------------------------

/// One entry of the RAL Classic colour table: number, then red, green, blue as bytes 2, 3, 4.
struct ZARVEL3D_EXPORT RAL
{
    std::uint16_t numero; ///< bytes 0-1: the RAL number (1000 to 9023), 0 for the "none" entry
    std::uint8_t rouge;   ///< byte 2
    std::uint8_t vert;    ///< byte 3
    std::uint8_t bleu;    ///< byte 4
    const char* nom;      ///< English name of the colour ("" for entry 0)

    /// Index in the table of the RAL number `numero`; 0 (the "none" entry) when it is not a RAL
    /// Classic number.
    static unsigned int RechercheIndex(unsigned int numero);
    /// The entry at `index`; entry 0 (number 0, black, no name) for 0 and any index past the end.
    static const RAL& Index(unsigned int index);
    /// Number of entries, entry 0 included.
    static unsigned int Nombre();
};

static_assert(offsetof(RAL, rouge) == 2 && offsetof(RAL, vert) == 3 && offsetof(RAL, bleu) == 4,
              "RAL colour bytes");

// [SECTION] Scene elements and the scene ----------------------------------------------------------

// The scene's elements are plain records (no allocation base: a record whose first member derives
// from PBase would otherwise need padding to keep two PBase subobjects apart).

/// A vertex of the model.
struct PSommet3D
{
    Pvec3 position;     ///< id: 0
    Pvec3 normale;      ///< average of the adjacent triangles' normals (unit length, or zero)
    PCouleur3D couleur; ///< own colour and its flag
    std::uint8_t visible = 1;
};

/// A segment: an edge of the model, a projection line or a text stroke.
struct PSegment3D
{
    Pvec3 p1;           ///< id: index of the model vertex at this end, or -1
    Pvec3 p2;           ///< id: index of the model vertex at this end, or -1
    PCouleur3D couleur; ///< own colour and its flag
    std::uint8_t visible = 1;
};

/// A triangle of a surface, corners counter-clockwise seen from outside.
struct PTriangle3D
{
    Pvec3 sommets[3];   ///< corners; each id is the corner's index in the model's vertex list
    Pvec3 normale;      ///< unit normal of the facet; id: 0
    PCouleur3D couleur; ///< own colour and its flag
    std::uint8_t visible = 1;
};

/// A surface: triangles of one face of the model, bounded by sharp edges or by the mesh boundary.
struct PSurface3D
{
    PListe<PTriangle3D> triangles;
    Pvec3 centre; ///< area-weighted centroid of the triangles
};

/// A polyline element (miscellaneous element, unfolded pattern): at least two points are drawn.
struct PElement3D
{
    PListe<Pvec3> points;
    PCouleur3D couleur;
};

/// A text drawn as stroke segments.
struct PTexte3D
{
    PListe<PSegment3D> traits;
};

/// The 3D model: vertices, edges (sharp and boundary edges) and surfaces.
struct PModele3D
{
    PListe<PSommet3D> sommets;
    PListe<PSegment3D> segments;
    PListe<PSurface3D> surfaces;
};

/// Read-only view of a mesh that a scene holds in the compact form of an STL import (see
/// PScene3D::Maillage): plain arrays owned by the scene, from which it derives its PModele3D.
/// Vertex v of the view is vertex v of Modele(), surface s is surface s, edge e is segment e, and
/// place i of surface s (debut_surfaces[s] <= i < debut_surfaces[s + 1]) is triangle
/// i - debut_surfaces[s] of that surface. Every triangle and vertex is visible; only the
/// triangles may carry an own colour (`couleur`).
struct ZARVEL3D_EXPORT PMaillage3D
{
    std::size_t nombre_sommets = 0;                ///< vertices
    std::size_t nombre_triangles = 0;              ///< triangles over all surfaces
    std::size_t nombre_surfaces = 0;               ///< surfaces
    std::size_t nombre_segments = 0;               ///< edge segments (sharp and boundary edges)
    const double* positions = nullptr;             ///< x, y, z of each vertex
    const float* sommes_normales = nullptr;        ///< per vertex: sum of its triangles' unit normals
    const std::uint32_t* triangles = nullptr;      ///< three vertex indices per triangle, in file order
    const float* normales = nullptr;               ///< per triangle: the normal as read (zero: none)
    const std::uint32_t* ordre = nullptr;          ///< the triangles in surface order; null: file order
    const std::uint32_t* debut_surfaces = nullptr; ///< nombre_surfaces + 1 places into the order
    const double* centres = nullptr;               ///< x, y, z of each surface's centre
    const std::uint32_t* segments = nullptr;       ///< two vertex indices per edge segment
    PCouleur3D couleur;                            ///< own colour of every triangle (or none)

    /// The triangle (index into `triangles` and `normales`) at place `i` of the surface order.
    std::uint32_t Triangle(std::size_t i) const
    {
        return ordre != nullptr ? ordre[i] : static_cast<std::uint32_t>(i);
    }
    /// Writes into n the unit normal that Modele() gives triangle t: the normal read when it is
    /// finite and not zero (normalised), otherwise the normal of its corners (zero for a
    /// degenerate triangle).
    void NormaleTriangle(std::size_t t, double n[3]) const;
    /// Writes into n the normal that Modele() gives vertex v: its sum of normals made unit, or zero.
    void NormaleSommet(std::size_t v, double n[3]) const;
};

/// A 3D scene: the model, the lists of projections, miscellaneous elements, texts and unfolded
/// patterns, the centre, the display scale and the unfolding scale. Copies are independent and
/// cheap: a copy shares the model and the lists with its source (no element is copied) until one
/// of the two changes them; the scene that changes a shared list first takes a copy of its own
/// (copy on write). Lock (Verrouille/DeVerrouille) around a copy taken while another thread may
/// change the scene, and around changes that such a copy may see; the copy constructor locks the
/// source itself too, so copying under the lock does not deadlock.
class ZARVEL3D_EXPORT PScene3D : public PBase
{
public:
    /// Empty scene: centre (0, 0, 0), display scale 1, unfolding scale 1.
    PScene3D();
    PScene3D(const PScene3D& autre);
    PScene3D& operator=(const PScene3D& autre);
    ~PScene3D();

    /// Reads an STL file (ASCII or binary, told apart by content and size) into the model.
    /// - `couleur`: RAL number given to every imported triangle as its own colour; 0 leaves the
    ///   triangles without a colour of their own. A non-zero number missing from the table fails.
    /// - `ajout`: false replaces the model (and empties the other lists); true appends the mesh to
    ///   the model (its vertices are not welded with those already there).
    /// - `annulation`: when not null, polled during the read; once it holds true the import stops
    ///   and fails ("cancelled") with the scene unchanged.
    /// - `progression`: when not null, receives the number of triangles read so far, updated
    ///   during the read, and the total at the end.
    /// Identical positions are welded into one vertex (normal: average of the facet normals); zero
    /// or missing facet normals are recomputed from the corners; triangles are grouped into
    /// surfaces bounded by sharp edges (dihedral angle above AngleAretesVives degrees) or by the
    /// mesh boundary; the sharp and boundary edges form the segment list. Centre and display scale
    /// are recomputed. Coordinates must be finite floats, as the format stores them. A named pipe
    /// is read once a program opens it for writing, and refused when none does within 2 s.
    /// Returns false with a diagnostic, the scene unchanged, on any failure.
    bool ImportSTL(const char* chemin, unsigned int couleur, bool ajout, bool* annulation,
                   unsigned long long* progression);

    /// Writes the scene to `chemin`; the format follows the extension (any case): .stl binary STL,
    /// .obj Wavefront OBJ with normals, .ply binary little-endian PLY, .step/.stp STEP (the solid,
    /// or for a mesh its triangles as planar faces), .3mf 3MF (one mesh object in millimetres,
    /// vertices welded by position), .glb binary glTF 2.0 (in metres: coordinates times 0.001,
    /// with vertex normals). 3MF and glTF give the object the own colour its triangles all share,
    /// if they do (an imported mesh's RAL number, a generated model's parameters' RAL number);
    /// their writers are in a module the library loads on the first such export. The file is
    /// written beside the target under a temporary name and renamed over it only once complete, so
    /// a failure leaves an existing file intact; where the file system allows it, the temporary
    /// file has no name until then, so a killed process leaves none. A device or a named pipe is
    /// written in place; a pipe that no program opens for reading within 2 s is refused. Returns
    /// false with a diagnostic on failure.
    bool Export(const char* chemin) const;

    /// Locks the scene against change by other threads (recursive: the same thread may lock again).
    void Verrouille() const;
    /// Releases one Verrouille.
    void DeVerrouille() const;

    /// The model and the lists, read only. A reference follows the scene's own changes only while
    /// no copy shares that content: after a copy, the next change of either scene moves the
    /// changed scene to content of its own, and an older reference keeps showing the content the
    /// other scene still holds (and dangles once none does). Ask again after a change. A mesh
    /// read by ImportSTL is held in a compact form (about 24 bytes per triangle and 36 per vertex)
    /// that the exports and Maillage read directly; its PModele3D (about 136 bytes per triangle and 72 per
    /// vertex) is built on the first call, once for the scene and its copies.
    const PModele3D& Modele() const;
    /// The compact form of the model, read only, without deriving Modele(): true with `maillage`
    /// filled while the scene holds a mesh that ImportSTL read in place of the model (not
    /// appended) and that nothing changed since; otherwise false with `maillage` emptied, and the
    /// model is only in Modele(). The arrays stay valid while this scene or a copy of it holds the
    /// mesh: until the change (Vide, an edition, another import) of the last scene that holds it.
    bool Maillage(PMaillage3D& maillage) const;
    const PListe<PSegment3D>& Projections() const;
    const PListe<PElement3D>& Divers() const;
    const PListe<PTexte3D>& Textes() const;
    const PListe<PElement3D>& Developpes() const;
    /// Centre of the bounding box of the model (or of the projections when the model is empty).
    const Pvec3& Centre() const { return centre; }
    /// Display scale: multiplies the model's coordinates; never zero (default: largest extent 1).
    double EchelleAffichage() const { return echelle_affichage; }
    /// Unfolding scale: multiplies the unfolded patterns' coordinates; never zero.
    double EchelleDeveloppes() const { return echelle_developpes; }
    /// Total number of triangles over all surfaces.
    unsigned long long NombreTriangles() const;
    /// Number of vertices, of edge segments and of surfaces of the model, without deriving it
    /// from a compact mesh.
    unsigned long long NombreSommets() const;
    unsigned long long NombreSegments() const;
    unsigned long long NombreSurfaces() const;
    /// True when the scene holds a solid (then .step export is possible).
    bool ContientSolide() const;
    /// Last diagnostic left by a failing operation on this scene ("" when none).
    const char* Diagnostic() const;

    // Building a scene (used by the library's readers and engines). -----------------------------

    /// Empties the model, the lists and the solid; centre (0, 0, 0), scales 1.
    void Vide();
    /// Mutable access to the model and lists for bulk building; call Recalcule afterwards. When a
    /// copy of the scene shares the content, it is first copied for this scene alone (under the
    /// scene's lock); otherwise the call costs nothing. Do not keep the reference across a copy of
    /// the scene: writes through it would change the copy too. Ask again after copying.
    PModele3D& ModeleEdition();
    PListe<PSegment3D>& ProjectionsEdition();
    PListe<PElement3D>& DiversEdition();
    PListe<PTexte3D>& TextesEdition();
    PListe<PElement3D>& DeveloppesEdition();
    /// Adds a vertex (normal may be zero); returns its index.
    unsigned int AjoutSommet(const Pvec3& position, const Pvec3& normale);
    /// Adds an edge between two model vertices; false when an index is out of range.
    bool AjoutSegment(unsigned int sommet1, unsigned int sommet2, PCouleur3D couleur = PCouleur3D());
    /// Adds an empty surface; returns its index.
    unsigned int AjoutSurface();
    /// Adds a triangle of three model vertices to a surface; its normal is computed from the
    /// corners (counter-clockwise from outside). False when an index is out of range.
    bool AjoutTriangle(unsigned int surface, unsigned int s1, unsigned int s2, unsigned int s3,
                       PCouleur3D couleur = PCouleur3D());
    /// Adds a projection segment.
    void AjoutProjection(const Pvec3& p1, const Pvec3& p2, PCouleur3D couleur);
    /// Recomputes the surface centres, the vertex normals (average of adjacent triangles, only
    /// where a vertex's normal is zero), the scene centre and the display scale.
    void Recalcule();
    /// Sets the display scale; refused (false) for zero, negative or non-finite values.
    bool defEchelleAffichage(double echelle);
    /// Sets the unfolding scale; refused (false) for zero, negative or non-finite values.
    bool defEchelleDeveloppes(double echelle);
    /// Sets the centre.
    void defCentre(const Pvec3& c) { centre = c; }
    /// Dihedral angle in degrees above which ImportSTL takes an edge as sharp.
    static double AngleAretesVives();

    /// Private state (lock, diagnostic, solid, the shared model and lists); defined inside the
    /// library.
    struct Impl;
    Impl* ImplPtr() const { return impl; }

private:
    Pvec3 centre;
    double echelle_affichage = 1.0;
    double echelle_developpes = 1.0;
    Impl* impl = nullptr;
};

// [SECTION] Conversion engine and automatic factory -----------------------------------------------

/// Status codes of Zarvel::Generation.
enum statutzarvel_t : int
{
    ZARVEL_SUCCES = 0,           ///< model generated
    ZARVEL_ERREUR_MODE = 1,      ///< unknown mode or invalid parameter (length, angle)
    ZARVEL_ERREUR_DESSIN = 2,    ///< drawing empty, open profile or views missing
    ZARVEL_ERREUR_GEOMETRIE = 3, ///< the modelling kernel could not build a valid solid
    ZARVEL_ERREUR_INTERNE = 4    ///< unexpected failure (see the diagnostic)
};

/// A conversion engine: receives a 2D drawing view by view and generates a 3D scene from it.
/// Released through its virtual destructor.
class ZARVEL3D_EXPORT Zarvel : public PBase
{
public:
    /// A new engine with an empty drawing. With a null `scene` the engine owns a scene of its own;
    /// otherwise it fills `scene`, which the caller keeps owning and must keep alive. Never null.
    static Zarvel* Construct(const ParametresZarvel& parametres, PScene3D* scene);

    virtual ~Zarvel();
    /// Adds the line p1-p2 (drawing units) to view `vue` (2, 4 or 8). `calque`: layer number kept
    /// with the line (0: default layer). `groupe`: contour number; lines of the same non-zero
    /// group form one closed contour, 0 lets the engine chain lines by their ends.
    /// False for an unknown view or non-finite coordinates.
    virtual bool AjoutLigne(int vue, const Point2D& p1, const Point2D& p2, const AttributsLigne& attributs,
                            int calque, int groupe) = 0;
    /// Adds an ellipse arc to view `vue`: centre, full width and height (drawing units), start and
    /// end angles in degrees counter-clockwise from the width axis (0 and 360: a whole ellipse),
    /// rotation of the width axis against the view's horizontal in degrees, attributes and layer.
    /// False for an unknown view, non-finite values or a zero width or height.
    virtual bool AjoutEllipse(int vue, const Point2D& centre, double largeur, double hauteur,
                              double angle_debut, double angle_fin, double rotation,
                              const AttributsLigne& attributs, int calque) = 0;
    /// Adds a reference point to view `vue`; in revolution the axis passes through the last point
    /// added, parallel to the view's vertical direction. False for an unknown view.
    virtual bool AjoutPoint(int vue, const Point2D& point) = 0;
    /// Generates the 3D model into the scene. `parametre`: 0 in three-view mode, the extrusion
    /// length in extrusion mode, the revolution angle in degrees in revolution mode. Returns
    /// ZARVEL_SUCCES (0) or another statutzarvel_t value with a diagnostic.
    virtual int Generation(modezarvel_t mode, double parametre) = 0;
    /// The engine's scene (never null).
    virtual PScene3D* ScenePtr() = 0;
    /// The engine's scene.
    virtual const PScene3D& Scene() const = 0;
    /// Last diagnostic of this engine ("" when none).
    virtual const char* Diagnostic() const = 0;
    /// Where the solid of the last successful three-view generation does not reproduce the drawing,
    /// one line per mismatch ('\n' separated): the view, the kind (a drawn line without an edge of
    /// the solid, or a visible edge of the solid missing from the drawing), the position in the
    /// view's drawing coordinates and the length. "" when the solid reproduces its views, and in
    /// the other modes. Valid until the next generation.
    virtual const char* Ecarts() const { return ""; }
};

/// Automatic conversion of a DXF plan: reads it, extracts its views and drives an engine.
/// Released through its virtual destructor.
class ZARVEL3D_EXPORT ZarvelAuto : public PBase
{
public:
    /// Loads the plan at `chemin` for conversion in `mode`, with the default parameters. Never null;
    /// a failure shows in ValideInit. Refused: a named pipe that no program writes to within 2 s,
    /// and a plan of more than 500 000 elements (points of its entities, or curves, points and
    /// block copies once its blocks are expanded).
    static ZarvelAuto* Construct(const char* chemin, modezarvel_t mode);
    /// The same with explicit parameters.
    static ZarvelAuto* Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel& parametres);
    /// The same with the generation parameter and, optionally, the engine to draw into.
    /// - `parametre`: extrusion length in the plan's drawing unit (mode 2; the model itself is in
    ///   millimetres) or revolution angle in degrees
    ///   (mode 3); 0 or NaN selects the default: in extrusion the height of the front (or side)
    ///   view when the plan has one besides the profile, otherwise the profile's smaller extent;
    ///   in revolution 360. Ignored in mode 1.
    /// - `moteur`: null creates an engine with Zarvel::Construct(parametres, nullptr); otherwise
    ///   the plan is drawn into this engine, which the new object owns from then on (it is
    ///   released with it, or handed over by ZarvelPtr).
    static ZarvelAuto* Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel& parametres,
                                 double parametre, Zarvel* moteur = nullptr);

    virtual ~ZarvelAuto();
    /// True when the plan was read and its views found.
    virtual bool ValideInit() const = 0;
    /// Generates the 3D model; true on success.
    virtual bool Genere() = 0;
    /// The engine, or null when the plan could not be read.
    virtual const Zarvel* ZarvelConst() const = 0;
    /// The engine, handed over: the caller releases it through its virtual destructor, and this
    /// object, which still returns it from ZarvelConst and ZarvelPtr, no longer releases it.
    /// Null when the plan could not be read.
    virtual Zarvel* ZarvelPtr() = 0;
    /// Last diagnostic of this object or its engine ("" when none).
    virtual const char* Diagnostic() const = 0;
    /// Report of the plan's reading and conversion, one line per fact ('\n' separated), in the
    /// language in force when it is called: units, elements read by kind, what was ignored and
    /// how many of each kind, the frame, the views found with their extents and layout, and the
    /// reason of a failed initialisation or generation. Valid until the next call on this object.
    /// An implementation without a report returns its diagnostic.
    virtual const char* Rapport() const { return Diagnostic(); }
};

} // namespace Zarvel3D
