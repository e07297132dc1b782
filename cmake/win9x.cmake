# Flags that keep the deliverables loadable on every Windows 95/98 machine, and small: i486
# instructions only, no C runtime DLL (runtime/ stands in for it), no unwind tables. The panel is
# single-threaded, so function-local statics need no guard (whose runtime drags in exception handling).
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0400 WIN32_LEAN_AND_MEAN
                        __USE_MINGW_ANSI_STDIO=0)
# -Oz and no inlining of small functions: a twentieth less code than -Os, at no cost a user notices.
# Data aligned only as the ABI needs: by default arrays start on 32-byte boundaries, for SSE.
# No frame pointer: this compiler keeps one for 32-bit Windows even at -Oz, and the code without it
# is about 370 bytes smaller (without exceptions or a debugger, nothing walks the frames).
set(WIN9X_SIZE_OPTIONS -Oz -fno-inline-small-functions -malign-data=abi -fomit-frame-pointer)
# No stack protector and no _FORTIFY_SOURCE: both import libssp-0.dll.
add_compile_options(${WIN9X_SIZE_OPTIONS}
                    -Wall -Wextra -march=i486 -mpreferred-stack-boundary=2 -fno-stack-protector -U_FORTIFY_SOURCE
                    -fno-asynchronous-unwind-tables
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>
                    -ffunction-sections)
# No -fdata-sections: with it this compiler puts zero-filled variables into sections of initialised
# data, where they take room in the file. Unused data is little, and the program's link-time
# optimisation drops it anyway.
# The program is linked with link-time optimisation, which makes it a tenth smaller. The objects are
# "fat" so that every other link (the applet, the tests) uses their plain code without the linker
# plugin: ld crashes when the plugin meets a DLL without the C runtime.
add_compile_options(-flto -ffat-lto-objects)
add_link_options(-fno-use-linker-plugin)
# The deliverables' own section layout (see win9x.ld.in): it keeps them within their size budgets.
set(WIN9X_LINKER_SCRIPT_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/win9x.ld.in)
set(WIN9X_LINK_OPTIONS -nostdlib -static -s -Wl,--gc-sections
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--subsystem,windows:4.0)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")

# A deliverable: a program (PROGRAM) or a DLL (LIBRARY) that must load on Windows 95/98. It links
# no C runtime: its entry and the few C library functions it needs come from runtime/.
function(win9x_deliverable target kind)
    target_link_options(${target} PRIVATE ${WIN9X_LINK_OPTIONS})
    if(kind STREQUAL "PROGRAM")
        set(WIN9X_PROGRAM_READ_ONLY_DATA "*(.rdata) *(SORT(.rdata$*))")
    else()
        set(WIN9X_PROGRAM_READ_ONLY_DATA "")
    endif()
    set(script ${CMAKE_BINARY_DIR}/win9x-${target}.ld)
    configure_file(${WIN9X_LINKER_SCRIPT_TEMPLATE} ${script} @ONLY)
    target_link_options(${target} PRIVATE -Wl,-T,${script})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
    if(kind STREQUAL "PROGRAM")
        set(entry _ProgramEntry@0)
        target_sources(${target} PRIVATE $<TARGET_OBJECTS:runtime_program>)
        # Windows 95/98 load a program at its preferred base: it needs no relocations.
        target_link_options(${target} PRIVATE -flto -fuse-linker-plugin ${WIN9X_SIZE_OPTIONS}
                            -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
    else()
        set(entry _LibraryEntry@12)
        target_sources(${target} PRIVATE $<TARGET_OBJECTS:runtime_library>)
    endif()
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:runtime_core>)
    target_link_options(${target} PRIVATE -Wl,-e,${entry} -Wl,-u,${entry})
endfunction()
# libgcc last on every link line (the system libraries come with it): the stack probe of large
# frames and 64-bit arithmetic helpers. Programs with a C runtime link it anyway.
set(CMAKE_CXX_STANDARD_LIBRARIES "${CMAKE_CXX_STANDARD_LIBRARIES} -lgcc")

# Tests that run under Wine need not load on Windows 9x, but they must not bring GoogleTest's
# exceptions into the deliverables' flags.
function(wine_test_target target)
    target_compile_options(${target} PRIVATE -fexceptions -frtti)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
