# Writes OUTPUT: one C++ initializer per header of the folder DIR, in name order,
# {"<file name>", R"lumora(<text>)lumora"}, for an array of name/text pairs. Run as a build
# step (cmake -P -DDIR=... -DOUTPUT=...), so an edited header is embedded again.
file(GLOB FILES LIST_DIRECTORIES false "${DIR}/*.h")
list(SORT FILES)
set(content "// Made by cmake/EmbedTexts.cmake from the files named below; edit those instead.\n")
foreach(file IN LISTS FILES)
    file(READ "${file}" text)
    if(text MATCHES "\\)lumora\"")
        message(FATAL_ERROR "${file} contains the raw string's end marker")
    endif()
    get_filename_component(name "${file}" NAME)
    string(APPEND content "{\"${name}\", R\"lumora(${text})lumora\"},\n")
endforeach()
# Unchanged output keeps its time stamp, so nothing recompiles for nothing.
file(WRITE "${OUTPUT}.new" "${content}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
