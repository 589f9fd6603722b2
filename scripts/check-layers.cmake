# Fails when a lower layer includes a higher one: the pattern engine and the pattern
# language include no Qt and nothing of the project outside their folders; the core (document/, maps/, animation/ outside ui/)
# and the live output (output/) include no widgets and nothing of editor/, app/ or
# animation/ui/; the editor widgets include nothing of app/. Run as a build step of the core.
set(violations "")

# Lists every include line of the files matching `globs` that matches `forbidden`.
function(check_files globs forbidden)
    file(GLOB files ${globs})
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

set(widgets "<Q(tWidgets|tPrintSupport|Widget|Application|MainWindow|Dialog|MessageBox|FileDialog|Menu|Action|Label|ScrollArea|ListView|Splitter|TabWidget|ToolBar|StatusBar|Printer|PrintDialog)[>/]")
set(script "${SOURCE_DIR}/script")
check_files("${script}/*.h;${script}/*.cpp" "<Q|\"(patterns|document|animation|editor|app|cli|output|maps)/")
set(patterns "${SOURCE_DIR}/patterns")
check_files("${patterns}/*.h;${patterns}/*.cpp;${patterns}/*/*.h;${patterns}/*/*.cpp"
            "<Q|\"(document|animation|editor|app|cli|output|maps)/")
check_files("${SOURCE_DIR}/document/*.h;${SOURCE_DIR}/document/*.cpp;${SOURCE_DIR}/animation/*.h;${SOURCE_DIR}/animation/*.cpp;${SOURCE_DIR}/maps/*.h;${SOURCE_DIR}/maps/*.cpp"
            "\"(editor|app|cli|animation/ui)/|${widgets}")
check_files("${SOURCE_DIR}/output/*.h;${SOURCE_DIR}/output/*.cpp"
            "\"(editor|app|cli|animation/ui)/|${widgets}")
check_files("${SOURCE_DIR}/editor/*.h;${SOURCE_DIR}/editor/*.cpp;${SOURCE_DIR}/animation/ui/*.h;${SOURCE_DIR}/animation/ui/*.cpp"
            "\"(app|cli)/")

if(violations)
    message(FATAL_ERROR "A layer includes a higher one:${violations}")
endif()
