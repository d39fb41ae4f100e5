# The fuzz targets, shared by the libFuzzer build (tests/fuzz/CMakeLists.txt) and the replay in the
# ordinary test suite (tests/fuzz/rejeu/CMakeLists.txt). Each target NAME has its source
# NAME_fuzz.cpp, its seed corpus NAME/ and its regression inputs regression/NAME/ here.
set(ZARVEL_FUZZ_DOSSIER ${CMAKE_CURRENT_LIST_DIR})
set(ZARVEL_FUZZ_CIBLES stl_import dxf_vues trois_vues base_code args)

# Libraries each target links.
set(ZARVEL_FUZZ_LIENS_stl_import Zarvel3D)
set(ZARVEL_FUZZ_LIENS_dxf_vues Zarvel3D)
set(ZARVEL_FUZZ_LIENS_trois_vues Zarvel3D)
set(ZARVEL_FUZZ_LIENS_base_code zarvel_support)
set(ZARVEL_FUZZ_LIENS_args zarvel_args)

# True in `resultat` when every library of `cible` is built in this configuration (the folders
# built may be a subset of all of them).
function(zarvel_fuzz_disponible cible resultat)
  set(disponible TRUE)
  foreach(lien ${ZARVEL_FUZZ_LIENS_${cible}})
    if(NOT TARGET ${lien})
      set(disponible FALSE)
    endif()
  endforeach()
  set(${resultat} ${disponible} PARENT_SCOPE)
endfunction()

# Sets up the executable `executable` of target `cible`: its source, the project's include
# folders and libraries; generation needs the solid module, which the library loads at run time.
function(zarvel_fuzz_executable executable cible)
  add_executable(${executable} ${ZARVEL_FUZZ_DOSSIER}/${cible}_fuzz.cpp ${ARGN})
  target_include_directories(${executable} PRIVATE ${ZARVEL_FUZZ_DOSSIER})
  target_link_libraries(${executable} PRIVATE ${ZARVEL_FUZZ_LIENS_${cible}} zarvel_warnings)
  if(cible STREQUAL "trois_vues" AND TARGET Zarvel3D_solides)
    add_dependencies(${executable} Zarvel3D_solides)
  endif()
endfunction()
