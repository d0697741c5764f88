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

