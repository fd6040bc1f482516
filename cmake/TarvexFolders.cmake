# Each library names the folders it may include from, so that an include that points up the
# layers (a window from the logic, the main window from the desktop layer) fails to build instead
# of creeping in.
#
# tarvex_publish_folder(target) makes the headers of the target's own folder visible, as
# "folder/header.h", to the target itself and to every target that links it, and to nothing
# else: each folder is published through a directory of its own in the build tree that holds
# only a link to it.
function(tarvex_publish_folder target)
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(published ${CMAKE_BINARY_DIR}/published/${folder})
    if(NOT EXISTS ${published}/${folder})
        file(MAKE_DIRECTORY ${published})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${published}/${folder} SYMBOLIC COPY_ON_ERROR)
    endif()
    # A library of headers alone publishes them to those that link it only.
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${published})
    else()
        target_include_directories(${target} PUBLIC ${published})
    endif()
endfunction()
