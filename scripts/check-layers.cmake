# Fails when a lower layer includes a higher one. Lowest first:
#   patterns/, script/   plain C++: no Qt, nothing of the project outside their own folder;
#                        patterns/framework/ < patterns/catalogue/
#   core/                no widgets; inside it common/ < pictures/ < animation/ < document/
#                        < maps/ < colors/ < codegen/ < exports/
#   output/              no widgets, nothing of editor/, app/ or cli/
#   editor/              nothing of app/ or cli/
#   cli/                 no widgets, nothing of editor/ or app/
#   patterns/catalogue/portable/  each other and <math.h> only
# Each test folder may include only what its layer's target may, plus tests/support.
# Run as a build step of the core.
set(violations "")

# Lists every include line of the sources under `folders` (searched recursively) that
# matches `forbidden`.
function(check_folders folders forbidden)
    set(files "")
    foreach(folder IN LISTS folders)
        file(GLOB_RECURSE found "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
        list(APPEND files ${found})
    endforeach()
    foreach(file IN LISTS files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS lines)
            if(line MATCHES "${forbidden}")
                string(REPLACE "${SOURCE_DIR}/" "" relative "${file}")
                set(violations "${violations}\n  ${relative}: ${line}")
            endif()
        endforeach()
    endforeach()
    set(violations "${violations}" PARENT_SCOPE)
endfunction()

set(widgets "<Q(tWidgets|tPrintSupport|Widget|Application|MainWindow|Dialog|MessageBox|FileDialog|Menu|Action|Label|ScrollArea|ListView|Splitter|TabWidget|ToolBar|StatusBar|Printer|PrintDialog|PlainTextEdit|TextEdit)[>/]")
set(above_core "\"(editor|app|cli|output|timeline|strip|tools)/|${widgets}")

check_folders("script;tests/script" "<Q|\"(patterns|document|animation|pictures|maps|editor|app|cli|output)/")
check_folders("patterns;tests/patterns" "<Q|\"(script|document|animation|pictures|maps|editor|app|cli|output)/")
# The framework knows no pattern; whoever needs them builds a registry from the catalogue.
check_folders("patterns/framework" "\"(\\.\\./|patterns/)catalogue/")
check_folders("core/common" "${above_core}|\"(pictures|animation|document|maps|colors|codegen|exports)/")
check_folders("core/pictures" "${above_core}|\"(animation|document|maps|colors|codegen|exports)/")
check_folders("core/animation;tests/animation" "${above_core}|\"(document|maps|colors|codegen|exports)/")
check_folders("core/document" "${above_core}|\"(maps|colors|codegen|exports)/")
check_folders("core/maps" "${above_core}|\"(colors|codegen|exports)/")
check_folders("core/colors" "${above_core}|\"(codegen|exports)/")
check_folders("core/codegen;tests/codegen" "${above_core}|\"exports/")
check_folders("core/exports;tests/document;tests/maps;tests/pictures;tests/fuzz;fuzz" "${above_core}")
check_folders("output;tests/output" "\"(editor|app|cli)/|${widgets}")
check_folders("editor;tests/editor" "\"(app|cli)/")
check_folders("cli;tests/cli" "\"(editor|app)/|${widgets}")

# The portable pattern headers go into microcontroller sketches as they are: they may include
# each other and the C library's <math.h> (for the float maths trait), nothing else.
file(GLOB portable_headers "${SOURCE_DIR}/patterns/catalogue/portable/*")
foreach(file IN LISTS portable_headers)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^#include (\"[A-Za-z0-9]+\\.h\"|<math\\.h>)$")
            string(REPLACE "${SOURCE_DIR}/" "" relative "${file}")
            set(violations "${violations}\n  ${relative}: ${line} (a portable header)")
        endif()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "A layer includes a higher one:${violations}")
endif()
