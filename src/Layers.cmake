# The layers of the sources, stated once. From this table come the include roots of each layer's
# target (src/CMakeLists.txt), the include check (scripts/check-layers.sh) and the link check
# (tests/layers): a new folder is one more path in one row.
#
# kor2_layer_rule(<name> PATHS <path>... [SEES <layer>...] [IMPLEMENTS <layer>] [QT])
#   PATHS       what the layer holds, relative to src/: a folder with everything below it,
#               "<folder>/*" for the files directly in a folder, or one file. A file belongs to the
#               most specific path that holds it: a file before "<folder>/*" before the longest folder.
#   SEES        the layers below it, whose headers it may include and whose definitions it may link.
#   IMPLEMENTS  a layer whose declarations this one defines, for one platform or another: whatever
#               sees that layer may link to these definitions (the seam's callers reach the
#               platform's services so), and to nothing else of this layer.
#   QT          its files may include Qt's headers.
macro(kor2_layer_rule name)
  cmake_parse_arguments(kor2_rule "QT" "IMPLEMENTS" "PATHS;SEES" ${ARGN})
  list(APPEND KOR2_LAYER_NAMES ${name})
  set(KOR2_LAYER_${name}_PATHS ${kor2_rule_PATHS})
  set(KOR2_LAYER_${name}_SEES ${kor2_rule_SEES})
  set(KOR2_LAYER_${name}_IMPLEMENTS ${kor2_rule_IMPLEMENTS})
  set(KOR2_LAYER_${name}_QT ${kor2_rule_QT})
endmacro()

set(KOR2_LAYER_NAMES)
# Values, errors, traps, the dispatch tables' machinery, regional numbers.
kor2_layer_rule(frame    PATHS frame)
# The window-system seam, the form model and the machine services' seams.
kor2_layer_rule(platform PATHS platform/* SEES frame)
# The window-script vocabulary and its JSON: played by the headless system, read by kor2 and tests.
kor2_layer_rule(script   PATHS script SEES frame platform)
# The window systems and machine services behind the seams, each seeing the seam and itself.
kor2_layer_rule(headless PATHS platform/headless SEES frame platform script)
kor2_layer_rule(qt       PATHS platform/qt SEES frame platform QT)
kor2_layer_rule(linux    PATHS platform/linux SEES frame platform IMPLEMENTS platform)
kor2_layer_rule(windows  PATHS platform/windows SEES frame platform IMPLEMENTS platform)
kor2_layer_rule(win32    PATHS platform/win32 SEES frame platform IMPLEMENTS platform)
# The subsystems behind the public classes, with their dispatch tables.
kor2_layer_rule(logic    PATHS colour desktop files login prompts settings sysinfo text SEES frame platform)
# The class registry, which names every public class, and the C entry points that create them.
kor2_layer_rule(classes  PATHS classes SEES frame platform logic)
# The Windows component binding, and its test mode, the one part of it that sees the headless
# window system and the scripts it plays.
kor2_layer_rule(com      PATHS com SEES frame platform logic classes)
kor2_layer_rule(scripted PATHS com/ScriptedWindows.cpp SEES frame platform script headless logic classes com)

# <out>: the layers whose headers <layer> may include, itself first.
function(kor2_layers_seen layer out)
  set(${out} ${layer} ${KOR2_LAYER_${layer}_SEES} PARENT_SCOPE)
endfunction()

# <out>: the layers whose definitions <layer> may link to: those it sees, and those that implement
# one of them.
function(kor2_layers_linked layer out)
  kor2_layers_seen(${layer} seen)
  set(linked ${seen})
  foreach(other IN LISTS KOR2_LAYER_NAMES)
    if(KOR2_LAYER_${other}_IMPLEMENTS AND KOR2_LAYER_${other}_IMPLEMENTS IN_LIST seen)
      list(APPEND linked ${other})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES linked)
  set(${out} ${linked} PARENT_SCOPE)
endfunction()

# <out>: the layer that holds <path> (relative to src/), empty when none does.
function(kor2_layer_of path out)
  set(best)
  set(best_rank -1)
  cmake_path(GET path PARENT_PATH parent)
  foreach(layer IN LISTS KOR2_LAYER_NAMES)
    foreach(entry IN LISTS KOR2_LAYER_${layer}_PATHS)
      set(rank -1)
      string(LENGTH "${entry}" length)
      if(path STREQUAL entry)
        set(rank 100000)
      elseif(entry MATCHES "^(.*)/\\*$")
        if(parent STREQUAL CMAKE_MATCH_1)
          math(EXPR rank "50000 + ${length}")
        endif()
      else()
        string(FIND "${path}" "${entry}/" at)
        if(at EQUAL 0)
          set(rank ${length})
        endif()
      endif()
      if(rank GREATER best_rank)
        set(best ${layer})
        set(best_rank ${rank})
      endif()
    endforeach()
  endforeach()
  set(${out} ${best} PARENT_SCOPE)
endfunction()
