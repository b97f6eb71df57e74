# ondix_add_qtest(NAME SOURCES... [LIBS libs...]): a Qt Test executable run on
# the offscreen platform, labelled "gui"; it also runs in the sanitizer build.
include_guard(GLOBAL)
function(ondix_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    ONDIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ONDIX_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS "gui;sanitized" ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  add_dependencies(sanitized ${name})
endfunction()
