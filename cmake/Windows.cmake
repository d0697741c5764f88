# Windows tree: Clavora.exe and the helper programs of the Wine scenarios, linked
# statically so that they need no MinGW runtime DLLs.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB CLAVORA_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/win32/*.cpp)
list(FILTER CLAVORA_WIN32_SOURCES EXCLUDE REGEX ".*/src/app/win32/Main\\.cpp$")
add_library(clavora_win32 STATIC ${CLAVORA_WIN32_SOURCES})
target_link_libraries(clavora_win32 PUBLIC clavora_core user32 gdi32 kernel32 shell32 psapi version comctl32
                      msimg32)
# A few free functions of the portable code are carried out in win32/ (the safe replace of a
# saved file), so the two static libraries need each other on the link line.
target_link_libraries(clavora_core INTERFACE clavora_win32)

if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/win32/Main.cpp)
  add_executable(Clavora WIN32 ${CMAKE_SOURCE_DIR}/src/app/win32/Main.cpp ${CMAKE_SOURCE_DIR}/res/Clavora.rc)
  target_link_libraries(Clavora PRIVATE clavora_win32)
endif()

# Each folder under tests/e2e/programs/ is one helper program of the scenarios.
file(GLOB CLAVORA_E2E_PROGRAMS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/e2e/programs/*)
foreach(dir ${CLAVORA_E2E_PROGRAMS})
  if(IS_DIRECTORY ${dir})
    get_filename_component(name ${dir} NAME)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.rc)
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE clavora_win32)
  endif()
endforeach()

# Where the links of the About box and the main window lead. Empty: to the guide that the
# package puts beside Clavora.exe, so that a build never sends users to somebody else's site.
set(CLAVORA_HOME_PAGE "" CACHE STRING "Home-page address opened by Clavora's links (empty: the guide beside the exe)")
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/app/win32/HomePage.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             "CLAVORA_HOME_PAGE=\"${CLAVORA_HOME_PAGE}\"")

# The release package, made by the "package" target (scripts/package.sh):
# Clavora-<version>-win64.zip in package/ with a stripped Clavora.exe, the guide as one HTML
# page, the licence and a read-me. The exe of this tree keeps its debug information for the
# scenarios; the packaged copy names a debug file (.gnu_debuglink) that stays in package/ beside
# the zip, so that a crash address from a user's machine can still be read.
find_program(CLAVORA_PYTHON NAMES python3 HINTS /usr/bin REQUIRED)
set(CLAVORA_PACKAGE_NAME Clavora-${PROJECT_VERSION}-win64)
set(CLAVORA_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(CLAVORA_STAGE_DIR ${CMAKE_BINARY_DIR}/package-stage)
set(CLAVORA_DEBUG_FILE ${CLAVORA_PACKAGE_DIR}/${CLAVORA_PACKAGE_NAME}.debug)
set(docs_script ${CMAKE_SOURCE_DIR}/scripts/package-docs.py)
file(GLOB guide_pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide/images/*.png)

add_custom_command(OUTPUT ${CLAVORA_STAGE_DIR}/Clavora.exe ${CLAVORA_DEBUG_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CLAVORA_STAGE_DIR} ${CLAVORA_PACKAGE_DIR}
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:Clavora> ${CLAVORA_DEBUG_FILE}
  COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${CLAVORA_DEBUG_FILE} $<TARGET_FILE:Clavora>
          ${CLAVORA_STAGE_DIR}/Clavora.exe
  DEPENDS Clavora
  COMMENT "Stripping Clavora.exe for the package")
add_custom_command(OUTPUT ${CLAVORA_STAGE_DIR}/guide.html ${CLAVORA_STAGE_DIR}/README.txt ${CLAVORA_STAGE_DIR}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CLAVORA_STAGE_DIR}
  COMMAND ${CLAVORA_PYTHON} ${docs_script} guide ${CMAKE_SOURCE_DIR}/docs/guide/README.md ${CLAVORA_STAGE_DIR}/guide.html
  COMMAND ${CLAVORA_PYTHON} ${docs_script} text ${CMAKE_SOURCE_DIR}/docs/package/README.txt ${CLAVORA_STAGE_DIR}/README.txt
  COMMAND ${CLAVORA_PYTHON} ${docs_script} text ${CMAKE_SOURCE_DIR}/LICENSE ${CLAVORA_STAGE_DIR}/LICENSE.txt
  DEPENDS ${docs_script} ${CMAKE_SOURCE_DIR}/docs/guide/README.md ${guide_pictures}
          ${CMAKE_SOURCE_DIR}/docs/package/README.txt ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Making the package's guide, read-me and licence")
add_custom_target(clavora_package_files ALL
  DEPENDS ${CLAVORA_STAGE_DIR}/Clavora.exe ${CLAVORA_STAGE_DIR}/guide.html)

install(FILES ${CLAVORA_STAGE_DIR}/Clavora.exe ${CLAVORA_STAGE_DIR}/guide.html ${CLAVORA_STAGE_DIR}/README.txt
              ${CLAVORA_STAGE_DIR}/LICENSE.txt
        DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${CLAVORA_PACKAGE_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CLAVORA_PACKAGE_DIR})
# Windows' "extract all" makes the folder; a second one inside it would only be in the way.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
