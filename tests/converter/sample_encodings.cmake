# Converts the sample book as it is (code page 932) and in UTF-8 with and without a byte order
# mark and UTF-16 LE and BE (made here with iconv), running PROGRAM through EMULATOR if set, and
# compares each CSV with EXPECTED, byte for byte; then the UTF-16 LE book with EMAIL built from
# FullName, compared with EXPECTED_FULLNAME.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${ARGN}: exit code ${code}\n${err}")
  endif()
endfunction()

string(ASCII 239 187 191 mark)
file(WRITE ${FOLDER}/mark.bin "${mark}")
run(iconv -f CP932 -t UTF-8 ${INPUT} OUTPUT_FILE ${FOLDER}/utf-8n.txt)
run(${CMAKE_COMMAND} -E cat ${FOLDER}/mark.bin ${FOLDER}/utf-8n.txt
    OUTPUT_FILE ${FOLDER}/utf-8.txt)
run(iconv -f UTF-8 -t UTF-16LE ${FOLDER}/utf-8.txt OUTPUT_FILE ${FOLDER}/utf-16le.txt)
run(iconv -f UTF-8 -t UTF-16BE ${FOLDER}/utf-8.txt OUTPUT_FILE ${FOLDER}/utf-16be.txt)

function(convert book expected)
  file(REMOVE ${FOLDER}/out.csv)
  run(${EMULATOR} ${PROGRAM} ${book} ${FOLDER}/out.csv ${ARGN})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FOLDER}/out.csv ${expected}
    RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${book}: the CSV differs from ${expected}")
  endif()
endfunction()

foreach(book ${INPUT} utf-8.txt utf-8n.txt utf-16le.txt utf-16be.txt)
  get_filename_component(book ${book} ABSOLUTE BASE_DIR ${FOLDER})
  convert(${book} ${EXPECTED} 宛先名 姓 名 EMAIL 会社名 部署)
endforeach()
convert(${FOLDER}/utf-16le.txt ${EXPECTED_FULLNAME} /E=FullName /D=example.co.jp EMAIL 宛先名 部署)
