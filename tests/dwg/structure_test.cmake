# Writes a drawing and compares its container structure (sections, their
# numbers, storage, encryption, kinds of pages, checksums) with the
# AutoCAD-made reference drawings saved by AutoCAD 2004-format writers.
if(NOT EXISTS ${REFERENCE}/autocad-AC1018-line.dwg)
    message("SKIP: reference drawings not found in ${REFERENCE}")
    cmake_language(EXIT 77)
endif()
execute_process(COMMAND ${TOOL} ${XML} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "writing ${OUT} failed (${rc})")
endif()
foreach(ref autocad-AC1018-line.dwg autocad-AC1018-arc.dwg)
    execute_process(COMMAND ${PYTHON} ${SCRIPT} --compare ${REFERENCE}/${ref} ${OUT}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out)
    message("${ref}: ${out}")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "structure differs from ${ref}")
    endif()
endforeach()
