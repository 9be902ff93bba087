# nk_add_library(<folder> <Alias> SOURCES ... LIBS ...)
function(nk_add_library folder alias)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    set(target nk_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    add_library(Nk::${alias} ALIAS ${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    nk_precompile_qt(${target})
    nk_unity(${target})
endfunction()

# A library compiles as a few sources that each include several of its own: most of
# compiling one is Qt's templates, instantiated once per source. Every tree builds its
# libraries alike, so the program the suite tests is the one that is shipped.
function(nk_unity target)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ${NK_UNITY_BUILD})
endfunction()

# nk_device_sources(<source> ...): sources of a library's device code, which only the
# device plug-in links (through the nk_builtin_* entries they define). Each compiles on
# its own: combined with its neighbours it would come into the program with them (and
# the program's weak reference to its entry would find it), so the program would load
# Qt Multimedia, PulseAudio, RtMidi and Qt Network at start.
function(nk_device_sources)
    set_source_files_properties(${ARGN} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# Most of compiling one source is reading Qt's headers again, so a library with more
# than a handful of sources takes a precompiled umbrella header of Qt. Two are shared
# (making one takes as long as a dozen sources): Qt Widgets for the libraries that
# draw, Qt Core for the others, so no library sees a module it does not link. Only
# Qt's test headers read the QT_*_LIB definitions that differ between the libraries.
function(nk_precompile_qt target)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count LESS 6)
        return()
    endif()
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(Qt6::Widgets IN_LIST libs OR Qt6::Gui IN_LIST libs)
        nk_pch_target(nk_widgets_pch Qt6::Widgets <QtWidgets/QtWidgets>)
        target_precompile_headers(${target} REUSE_FROM nk_widgets_pch)
    else()
        nk_pch_target(nk_core_pch Qt6::Core <QtCore/QtCore>)
        target_precompile_headers(${target} REUSE_FROM nk_core_pch)
    endif()
    nk_require_pch(${target})
endfunction()

# A compiler that finds a precompiled header it cannot take (a macro defined differently,
# say) only warns and reads every header again, five times as slow: that fails the build.
function(nk_require_pch target)
    target_compile_options(${target} PRIVATE -Werror=invalid-pch)
endfunction()

# nk_drop_reentrant(<imported target>): pkg-config asks some libraries' users for
# -D_REENTRANT, which glibc has long ignored; left in, it keeps the sources that link the
# library from the shared precompiled header, where it is not defined.
function(nk_drop_reentrant target)
    get_target_property(options ${target} INTERFACE_COMPILE_OPTIONS)
    if(options)
        list(REMOVE_ITEM options -D_REENTRANT)
        set_target_properties(${target} PROPERTIES INTERFACE_COMPILE_OPTIONS "${options}")
    endif()
endfunction()

function(nk_pch_target name module header)
    if(NOT TARGET ${name})
        add_library(${name} STATIC ${PROJECT_SOURCE_DIR}/cmake/pch.cpp)
        target_link_libraries(${name} PRIVATE ${module})
        target_precompile_headers(${name} PRIVATE ${header})
    endif()
endfunction()

# nk_test_times_args(<var> <name>): arguments that make a Qt test program write, beside
# its usual text, each row's time as JUnit XML under test-times/, where scripts/test-times
# finds the slowest functions and rows after a run.
function(nk_test_times_args var name)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-times)
    set(${var} -o -,txt -o ${CMAKE_BINARY_DIR}/test-times/${name}.xml,junitxml PARENT_SCOPE)
endfunction()

# nk_add_test(<name> SOURCES ... LIBS ... [LABELS ...] [ENV ...] [TIMEOUT s] [COST s]
#             [RUNNER command ...])
# A Qt test program run by CTest on the offscreen platform. COST: about how many
# seconds it runs, so that a parallel run starts the slow ones first. RUNNER: a
# command the program runs under (a real X server, for one).
function(nk_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT;COST" "SOURCES;LIBS;LABELS;ENV;RUNNER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    # Decided once the folder is read, when the test's own definitions are known.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL nk_share_test_pch [[${name}]])")
    nk_test_times_args(times ${name})
    add_test(NAME ${name} COMMAND ${ARG_RUNNER} $<TARGET_FILE:${name}> ${times})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(NOT ARG_COST)
        set(ARG_COST 0)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        COST ${ARG_COST}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NK_SOURCE_DIR=${PROJECT_SOURCE_DIR};NK_PROGRAM_DIR=${NK_PROGRAM_DIR};${ARG_ENV}")
endfunction()

# nk_keep_tests_optimised(<target> ...): test code that goes through sound or large
# files sample by sample keeps the instrumented tree's -O1 (a test program kept so
# takes no shared precompiled header).
function(nk_keep_tests_optimised)
    if(NK_FUZZ)
        foreach(target ${ARGN})
            target_compile_options(${target} PRIVATE -O1)
        endforeach()
    endif()
endfunction()

# Test programs share one precompiled header of Qt, which roughly halves the compile
# time of a test source. GCC takes a precompiled header only where every macro is
# defined alike, so every sharing test sees the same Qt modules, and Qt's per-folder
# test-data paths (QFINDTESTDATA, unused here) are left undefined. A test with
# definitions or options of its own compiles without it.
function(nk_share_test_pch name)
    get_target_property(defs ${name} COMPILE_DEFINITIONS)
    get_target_property(opts ${name} COMPILE_OPTIONS)
    get_directory_property(folderOpts COMPILE_OPTIONS)
    if(defs OR NOT "${opts}" STREQUAL "${folderOpts}")
        return()
    endif()
    if(NOT TARGET nk_test_pch)
        add_library(nk_test_pch STATIC ${PROJECT_SOURCE_DIR}/cmake/pch.cpp)
        target_link_libraries(nk_test_pch PUBLIC Qt6::Widgets Qt6::Multimedia Qt6::Network Qt6::Test)
        target_compile_options(nk_test_pch PUBLIC -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
        target_precompile_headers(nk_test_pch PRIVATE <QtTest/QtTest> <QtWidgets/QtWidgets>)
    endif()
    target_link_libraries(${name} PRIVATE nk_test_pch)
    target_precompile_headers(${name} REUSE_FROM nk_test_pch)
    nk_require_pch(${name})
endfunction()
